#pragma once
// The documents of a run as its rows read them. The run owns one reader; its
// loop takes each row's document in scan order and asks it for the row's
// properties. Both are used on the run's thread only: the reading ahead
// happens on the pool's helpers inside the reader.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "common/CellValue.h"
#include "common/FoundDocuments.h"
#include "common/ReadAhead.h"
#include "common/RunLog.h"
#include "docprops/DocumentParse.h"

namespace tbx {

// What a row reads of one property.
// text is the value, or "FEHLER beim Lesen von " + the name (a text) when
// the sets are unreadable.
struct PropertyRead : CellValue {
  bool unreadable = false;  // the document's property sets could not be read
};

// One row's document: its path and one parse of it, made ahead or on the
// row's first read. Every read gives what a read of the file itself would
// give, and for a document that cannot be read the same log line each time.
class RowDocument {
 public:
  explicit RowDocument(QString path, std::optional<DocumentParse> parse = std::nullopt)
      : path_(std::move(path)), parse_(std::move(parse)) {}

  const QString& Path() const { return path_; }
  // The value of propertyName; an unreadable document logs why.
  PropertyRead ReadDocumentProperty(RunLog& log, const QString& propertyName);

 private:
  QString path_;
  std::optional<DocumentParse> parse_;
};

class DocumentReader {
 public:
  // Reads the documents of found ahead of the loop with the pool's helpers,
  // at most window documents ahead, looking up names there, so the loop
  // neither decodes values nor frees parses. Without names there is nothing
  // to read ahead.
  DocumentReader(const FoundDocuments& found, QStringList names, WorkerPool& pool, int window);

  // Whether documents are read ahead.
  bool ReadsAhead() const { return ahead_.Active(); }
  // The document of row index (0-based, in order), waiting for its helper
  // while whileWaiting runs every few milliseconds.
  RowDocument Take(qsizetype index, const std::function<void()>& whileWaiting);

 private:
  std::optional<DocumentParse> Read(qsizetype index) const;

  const FoundDocuments& found_;
  const LookUpPlan plan_;
  ReadAhead<std::optional<DocumentParse>> ahead_;
};

// The value of propertyName in the document at path, opening and releasing
// the document for this one read.
QString ReadDocumentProperty(RunLog& log, const QString& path, const QString& propertyName);

}  // namespace tbx
