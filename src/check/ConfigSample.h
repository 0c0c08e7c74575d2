#pragma once
// What the configuration check learns from the documents themselves: the
// first documents under the start folder, the property names they hold and
// their values; and, in database mode, what the database answers for one.
#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

#include "check/ConfigCheck.h"
#include "docprops/DocumentParse.h"

namespace tbx {

struct DocumentSample {
  QStringList documents;  // the first documents a run would read
  std::vector<DocumentParse> parses;  // one per document, made once for names and values
  QHash<QString, QString> names;  // property names they hold: lower-cased -> as written

  // Whether a run could find a value for name: a special name, a name of the
  // catalogue, or a name one of the sampled documents holds.
  bool Knows(const QString& name) const;
  // Every name Knows accepts, as written, for suggestions.
  QStringList KnownNames() const;
  // The values of property in the sampled documents, empty ones left out.
  QStringList ValuesOf(const QString& property) const;
};

// The first kCheckSampleDocuments documents under sourceDir with the
// extensions of pattern, as a run would scan them.
DocumentSample SampleDocuments(const QString& sourceDir, const QString& pattern);

// Database mode: the read-only connection of [ODBC] and the query for the
// first sampled document; what the connection or the query refuses, and the
// mapped fields (fieldNames, markers included) the record lacks.
std::vector<Finding> CheckDatabase(const QString& configPath, const DocumentSample& sample,
                                   const QStringList& fieldNames);

}  // namespace tbx
