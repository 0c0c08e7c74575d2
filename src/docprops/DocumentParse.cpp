#include "docprops/DocumentParse.h"

#include <new>

#include "common/CellValue.h"
#include "docprops/DocumentFile.h"
#include "docprops/modDocProps.h"
#include "propset/KnownPropertySets.h"

namespace tbx {
namespace {

// A set yields the property its own by-name look-up finds, or else the first
// property whose identifier the catalogue gives for that name.
const FileProperty* FindInSet(const FilePropertySet& set, const QString& propertyName) {
  if (const FileProperty* byName = set.Item(propertyName)) return byName;
  return set.WithId(quint32(GetPropertyId(set.Name(), propertyName)));
}

// The same search with the identifiers of a known set found beforehand.
const FileProperty* FindInKnownSet(const FilePropertySet& set, const QString& propertyName,
                                   const LookUpPlan::InKnownSet& planned) {
  if (const FileProperty* byName = set.ByDictionaryName(propertyName)) return byName;
  if (planned.builtIn)
    if (const FileProperty* p = set.WithId(planned.builtInId)) return p;
  return set.WithId(quint32(planned.catalogueId));
}

// The look-up of one property, find(set) searching one set.
template <class Find>
PropertyLookup LookUp(const DocumentParse& parse, const QLocale& locale, Find find) {
  if (!parse.sets) return {PropertyLookup::NotOpened, {}, parse.status};
  const FilePropertySets& sets = *parse.sets;
  // A document without any set is as unusable as one that cannot be read.
  if (parse.status != ReadStatus::ok || sets.Count() <= 0) return {PropertyLookup::NotRead, {}, parse.status};
  for (int i = 0; i < sets.Count(); ++i)
    if (const FileProperty* p = find(*sets.Item(i)))
      return {PropertyLookup::Found, CellValueOf(p->Value(), locale), ReadStatus::ok};
  return {};
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
  return LookUp(parse, locale, [&](const FilePropertySet& set) { return FindInSet(set, propertyName); });
}

LookUpPlan::LookUpPlan(QStringList names) : names_(std::move(names)) {
  known_.resize(size_t(KnownSetCount()) * size_t(names_.size()));
  for (int rank = 0; rank < KnownSetCount(); ++rank) {
    const KnownPropertySet& set = KnownSetAt(rank);
    for (qsizetype i = 0; i < names_.size(); ++i) {
      InKnownSet& planned = known_[size_t(rank * names_.size() + i)];
      planned.builtIn = BuiltInPropertyId(set, names_[i], &planned.builtInId);
      planned.catalogueId = GetPropertyId(KnownSetName(set), names_[i]);
    }
  }
}

void PrepareLookUps(DocumentParse& parse, const LookUpPlan& plan) {
  if (!parse.sets) return;
  const QStringList& names = plan.Names();
  parse.lookUps.reserve(size_t(names.size()));
  // One locale for all names: every copy of the default locale counts
  // itself on data that all readers share.
  const QLocale locale;
  for (qsizetype i = 0; i < names.size(); ++i) {
    const QString& name = names[i];
    parse.lookUps.emplace_back(name, LookUp(parse, locale, [&](const FilePropertySet& set) {
                                 return set.Known() ? FindInKnownSet(set, name, plan.At(KnownSetRank(*set.Known()), i))
                                                    : FindInSet(set, name);
                               }));
  }
  parse.sets.reset();
}

}  // namespace tbx
