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

QString ReadDocumentProperty(QString fileName, QString propertyName) {
  const auto failed = [&] { return QStringLiteral("FEHLER beim Lesen von ") + propertyName; };
  DocumentParse own;
  const DocumentParse* parse = DocumentRowScope::ParseFor(fileName);
  if (!parse) {
    own = ParseDocument(fileName);
    parse = &own;
  }
  if (!parse->sets) {
    LogMessage(QStringLiteral("FEHLER beim Öffnen der Propertysets von ") + fileName + QStringLiteral(": ") +
               StatusDescription(parse->status));
    return failed();
  }
  const FilePropertySets& sets = *parse->sets;
  // A document without any set is as unusable as one that cannot be read;
  // its log line simply has no description after the ": ".
  if (parse->status != ReadStatus::ok || sets.Count() <= 0) {
    LogMessage(QStringLiteral("FEHLER beim Lesen der Propertysets von ") + fileName + QStringLiteral(": ") +
               StatusDescription(parse->status));
    return failed();
  }
  for (int i = 0; i < sets.Count(); ++i)
    if (const FileProperty* p = FindInSet(*sets.Item(i), propertyName)) return ValueText(p->Value()).value_or(QString());
  return QString();
}

}  // namespace tbx
