#pragma once
// A sample CAD document: its property sets with German or English values and
// a few other streams, as one compound file, and its description for the
// manifest.
#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <vector>

#include "PropertySetWriter.h"
#include "Random.h"

namespace tbx::samplegen {

struct SampleStream {
  QString name;
  std::vector<SampleSection> sections;  // property-set streams
  QByteArray data;                      // any other stream
};

struct SampleDocument {
  QString kind;  // par, psm, asm, dft
  bool german = true;
  std::vector<SampleStream> streams;  // in directory order
};

// A document of that kind; `number` makes names and numbers unique in a tree.
SampleDocument MakeDocument(Random& random, const QString& kind, int number);

QByteArray BuildFile(const SampleDocument& document);

// {"kind":..., "language":..., "sets":[{"index", "name", "formatId", "stream",
// "codePage", "properties":[{"id", "name", "type", "text_de"}]}]} with the
// sets in the order a reader lists them.
QJsonObject DescribeDocument(const SampleDocument& document);

}  // namespace tbx::samplegen
