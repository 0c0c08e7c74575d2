#pragma once
// Document properties, the chief header of docprops/ (named after the
// classic module): one named property of one CAD document as text
// (ReadDocumentProperty), with the built-in catalogue of English and German
// aliases (GetPropertyId).
//
// Public operations:
//   DocumentReader, RowDocument    a run's documents, read ahead, one parse per row (DocumentReader.h)
//   ParseDocument, LookUpProperty  one parse of a document and a look-up in it (DocumentParse.h)
//   DocumentFile                   a document file as the compound-file reader's byte source
//   GetPropertyId, PropertyAliases the alias catalogue
//   SpecialNameValue, IsSpecialName  Erstelldatum, Erstellt and %Dateityp
//   RunPropsTool                   the inspection tool (PropsTool.h)
#include <QString>
#include <optional>
#include <vector>

#include "common/CellValue.h"

namespace tbx {

// The identifier under which the catalogue stores propertyName in the set
// named setName (both compared lower-cased, nothing trimmed); 0 when the
// catalogue does not know the set or the name.
qint32 GetPropertyId(const QString& setName, const QString& propertyName);

// One name a configuration may use for a property of a known set: an alias
// of the catalogue or an English name the set itself knows.
struct PropertyAlias {
  QString name;
  QString set;  // as the document lists it ("SummaryInformation")
  qint32 id = 0;
};

// Every such name, set by set in listing order, then by identifier; each
// name once per set (without regard to case), the catalogue's spelling first.
std::vector<PropertyAlias> PropertyAliases();

// The value of a special name, which no property set holds: "Erstelldatum"
// or "Erstellt" (the file's creation date, in the general date form) and
// "%Dateityp" (the extension in lower case, a text), any case; std::nullopt
// for every other name. The creation date is a date value beside its text.
// When the file's date cannot be read the value is "" and problem says why
// in a German line for the log; else problem is empty.
std::optional<CellValue> SpecialNameValue(const QString& path, const QString& propertyName, QString& problem);
bool IsSpecialName(const QString& propertyName);

}  // namespace tbx
