#include "common/RunLog.h"
#include "common/TextForm.h"
#include "docprops/DocumentRowScope.h"
#include "docprops/modDocProps.h"
#include "propset/FilePropertySets.h"

namespace tbx {
namespace {

// A set yields the property its own by-name look-up finds, or else the first
// property whose identifier the catalogue gives for that name.
const FileProperty* FindInSet(const FilePropertySet& set, const QString& propertyName) {
  if (const FileProperty* byName = set.Item(propertyName)) return byName;
  const qint32 id = GetPropertyId(set.Name(), propertyName);
  for (const FileProperty& p : set.Properties())
    if (p.id == id) return &p;
  return nullptr;
}

}  // namespace

PropertyLookup LookUpProperty(const DocumentParse& parse, const QString& propertyName, const QLocale& locale) {
  if (!parse.sets) return {PropertyLookup::NotOpened, QString(), parse.status};
  const FilePropertySets& sets = *parse.sets;
  // A document without any set is as unusable as one that cannot be read.
  if (parse.status != ReadStatus::ok || sets.Count() <= 0) return {PropertyLookup::NotRead, QString(), parse.status};
  for (int i = 0; i < sets.Count(); ++i)
    if (const FileProperty* p = FindInSet(*sets.Item(i), propertyName))
      return {PropertyLookup::Found, ValueText(p->Value(), locale).value_or(QString()), ReadStatus::ok};
  return {};
}

QString ReadDocumentProperty(QString fileName, QString propertyName) {
  std::optional<PropertyLookup> scoped = DocumentRowScope::LookUp(fileName, propertyName);
  const PropertyLookup found = scoped ? std::move(*scoped) : LookUpProperty(ParseDocument(fileName), propertyName);
  switch (found.outcome) {
    case PropertyLookup::Found:
      return found.value;
    case PropertyLookup::NotOpened:
      LogMessage(QStringLiteral("FEHLER beim Öffnen der Propertysets von ") + fileName + QStringLiteral(": ") +
                 StatusDescription(found.status));
      break;
    case PropertyLookup::NotRead:
      // A document without any set has no description after the ": ".
      LogMessage(QStringLiteral("FEHLER beim Lesen der Propertysets von ") + fileName + QStringLiteral(": ") +
                 StatusDescription(found.status));
      break;
  }
  return QStringLiteral("FEHLER beim Lesen von ") + propertyName;
}

}  // namespace tbx
