#pragma once
// One parse of a document for all reads of one worksheet row. A row asks the
// same document for every criterion and every mapped column; on a network
// share opening it once per property is what makes large trees slow. While a
// scope for a path lives, ReadDocumentProperty answers that path's reads from
// one parse made on the first read; the file is closed as soon as it is
// parsed and the parse is dropped with the scope. Everything the reads show
// stays as without the scope: the same values, and for a document that cannot
// be read the same log line on every read.
#include <QString>
#include <memory>
#include <optional>

#include "propset/FilePropertySets.h"

namespace tbx {

// A document's property sets as one open gave them.
struct DocumentParse {
  std::unique_ptr<FilePropertySets> sets;  // nullptr when the container could not be made
  ReadStatus status = ReadStatus::ok;
};

// Opens, parses and closes fileName.
DocumentParse ParseDocument(const QString& fileName);

class DocumentRowScope {
 public:
  explicit DocumentRowScope(QString fileName);
  // With a parse of fileName made ahead of the row (DocumentReadAhead.h);
  // std::nullopt parses on the first read as above.
  DocumentRowScope(QString fileName, std::optional<DocumentParse> parse);
  ~DocumentRowScope();
  DocumentRowScope(const DocumentRowScope&) = delete;
  DocumentRowScope& operator=(const DocumentRowScope&) = delete;

  // The parse of fileName from the innermost scope for exactly that path,
  // made on its first use; nullptr when no scope covers fileName (the
  // caller then parses the document itself).
  static const DocumentParse* ParseFor(const QString& fileName);

 private:
  QString fileName_;
  std::optional<DocumentParse> parse_;
  DocumentRowScope* outer_;
};

}  // namespace tbx
