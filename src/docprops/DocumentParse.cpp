#include "docprops/DocumentParse.h"

#include <new>

#include "common/CellValue.h"
#include "docprops/DocumentFile.h"
#include "docprops/modDocProps.h"

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

DocumentParse ParseDocument(const QString& fileName) {
  DocumentParse parse;
  try {
    parse.sets = std::make_unique<FilePropertySets>();
  } catch (const std::bad_alloc&) {
    parse.status = ReadStatus::out_of_memory;
    return parse;
  }
  // The file lives only inside Open: it is closed on return, the parsed
  // streams stay in memory.
  auto file = std::make_unique<DocumentFile>();
  parse.status = file->Open(fileName);
  if (parse.status == ReadStatus::ok) parse.status = parse.sets->Open(std::move(file));
  return parse;
}

PropertyLookup LookUpProperty(const DocumentParse& parse, const QString& propertyName, const QLocale& locale) {
  if (!parse.sets) return {PropertyLookup::NotOpened, {}, parse.status};
  const FilePropertySets& sets = *parse.sets;
  // A document without any set is as unusable as one that cannot be read.
  if (parse.status != ReadStatus::ok || sets.Count() <= 0) return {PropertyLookup::NotRead, {}, parse.status};
  for (int i = 0; i < sets.Count(); ++i)
    if (const FileProperty* p = FindInSet(*sets.Item(i), propertyName))
      return {PropertyLookup::Found, CellValueOf(p->Value(), locale), ReadStatus::ok};
  return {};
}

void PrepareLookUps(DocumentParse& parse, const QStringList& names) {
  if (!parse.sets) return;
  parse.lookUps.reserve(size_t(names.size()));
  // One locale for all names: every copy of the default locale counts
  // itself on data that all readers share.
  const QLocale locale;
  for (const QString& name : names) parse.lookUps.emplace_back(name, LookUpProperty(parse, name, locale));
  parse.sets.reset();
}

}  // namespace tbx
