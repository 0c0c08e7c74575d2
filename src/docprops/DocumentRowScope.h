#pragma once
// One parse of a document for all reads of one worksheet row. A row asks the
// same document for every criterion and every mapped column; on a network
// share opening it once per property is what makes large trees slow. While a
// scope for a path lives, ReadDocumentProperty answers that path's reads from
// one parse made on the first read; the file is closed as soon as it is
// parsed and the parse is dropped with the scope. Everything the reads show
// stays as without the scope: the same values, and for a document that cannot
// be read the same log line on every read.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "propset/FilePropertySets.h"

namespace tbx {

// What a read of one property found, before anything is logged.
struct PropertyLookup {
  enum Outcome { Found, NotOpened, NotRead };
  Outcome outcome = Found;
  QString value;  // when Found: the text, "" when no set yields the property
  ReadStatus status = ReadStatus::ok;  // otherwise: why the sets could not be read
};

// A document's property sets as one open gave them.
struct DocumentParse {
  std::unique_ptr<FilePropertySets> sets;  // nullptr when the container could not be made
  ReadStatus status = ReadStatus::ok;
  // Look-ups made when the sets were dropped early (PrepareLookUps).
  std::vector<std::pair<QString, PropertyLookup>> lookUps;
};

// Opens, parses and closes fileName.
DocumentParse ParseDocument(const QString& fileName);

// The look-up of one property in a parse; needs the parse's sets. Values
// are written as locale (the default locale) writes numbers and dates.
PropertyLookup LookUpProperty(const DocumentParse& parse, const QString& propertyName,
                              const QLocale& locale = QLocale());

// Looks up every name of names and drops the sets, so that a parse made on
// another thread is freed there and reaches its row small. A parse whose
// container could not be made is left as it is: the row tries again.
void PrepareLookUps(DocumentParse& parse, const QStringList& names);

class DocumentRowScope {
 public:
  explicit DocumentRowScope(QString fileName);
  // With a parse of fileName made ahead of the row (DocumentReadAhead.h);
  // std::nullopt parses on the first read as above.
  DocumentRowScope(QString fileName, std::optional<DocumentParse> parse);
  ~DocumentRowScope();
  DocumentRowScope(const DocumentRowScope&) = delete;
  DocumentRowScope& operator=(const DocumentRowScope&) = delete;

  // The look-up of propertyName in the parse of the innermost scope for
  // exactly fileName, parsed on its first use; std::nullopt when no scope
  // covers fileName (the caller then parses the document itself).
  static std::optional<PropertyLookup> LookUp(const QString& fileName, const QString& propertyName);

 private:
  QString fileName_;
  std::optional<DocumentParse> parse_;
  DocumentRowScope* outer_;
};

}  // namespace tbx
