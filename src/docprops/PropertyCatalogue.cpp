#include <QHash>
#include <algorithm>
#include <iterator>
#include <span>
#include <vector>

#include "docprops/modDocProps.h"

#include "common/PerThread.h"
#include "propset/KnownPropertySets.h"

namespace tbx {
namespace {

struct Alias {
  const char* name;  // UTF-8
  qint32 id;
};

struct CatalogueSet {
  const char* name;
  std::span<const Alias> aliases;
};

// The identifiers of the summary and document-summary sets are those of the
// published OLE property sets; users write the English short names or the
// German words they see in the CAD system's dialogs.
constexpr Alias kSummary[] = {
    {"title", 2},        {"Titel", 2},       {"subject", 3},         {"thema", 3},        {"author", 4},
    {"autor", 4},        {"keywords", 5},    {"stichwörter", 5},     {"comments", 6},     {"kommentare", 6},
    {"template", 7},     {"vorlage", 7},     {"lastauthor", 8},      {"revnumber", 9},    {"edittime", 10},
    {"lastprinted", 11}, {"createtime", 12}, {"ursprungsdatum", 12}, {"lastsave", 13},    {"pagecount", 14},
    {"wordcount", 15},   {"charcount", 16},  {"appname", 18},        {"docsecurity", 19},
};
constexpr Alias kExtendedSummary[] = {
    {"savingapp", 2}, {"filesize", 3}, {"sheetcount", 4},     {"objectcount", 5},
    {"status", 7},    {"username", 8}, {"creationlocale", 9},
};
constexpr Alias kDocumentSummary[] = {
    {"category", 2},   {"kategorie", 2}, {"format", 3}, {"bytes", 4},        {"lines", 5},
    {"paragraphs", 6}, {"slides", 7},    {"notes", 8},  {"hiddenslides", 9}, {"mmclips", 10},
    {"manager", 14},   {"company", 15},  {"firma", 15},
};
constexpr Alias kProject[] = {
    {"docnum", 2},      {"document number", 2}, {"dokumentnummer", 2}, {"revision", 3},
    {"projectname", 4}, {"project name", 4},    {"projektname", 4},
};

constexpr CatalogueSet kCatalogue[] = {
    {"summaryinformation", kSummary},
    {"extendedsummaryinformation", kExtendedSummary},
    {"documentsummaryinformation", kDocumentSummary},
    {"projectinformation", kProject},
};

// The aliases in lower case, made once: the reader asks the catalogue for
// every set that does not know a name itself.
struct LoweredAlias {
  QString name;
  qint32 id;
};

const std::vector<LoweredAlias>& LoweredAliases(const CatalogueSet& set) {
  static const auto lowered = [] {
    std::vector<std::vector<LoweredAlias>> all;
    for (const CatalogueSet& s : kCatalogue) {
      std::vector<LoweredAlias> aliases;
      for (const Alias& a : s.aliases) aliases.push_back({QString::fromUtf8(a.name).toLower(), a.id});
      all.push_back(std::move(aliases));
    }
    return all;
  }();
  return lowered[size_t(&set - std::begin(kCatalogue))];
}

qint32 LookUp(const QString& setName, const QString& propertyName) {
  const QString set = setName.toLower();
  for (const CatalogueSet& s : kCatalogue) {
    if (set != QLatin1String(s.name)) continue;
    const QString name = propertyName.toLower();
    for (const LoweredAlias& a : LoweredAliases(s))
      if (name == a.name) return a.id;
    return 0;
  }
  return 0;
}

constexpr qsizetype kMaxKnownPairs = 4096;

}  // namespace

std::vector<PropertyAlias> PropertyAliases() {
  std::vector<PropertyAlias> all;
  for (int rank = 0; rank < KnownSetCount(); ++rank) {
    const KnownPropertySet& known = KnownSetAt(rank);
    const QString set = KnownSetName(known);
    std::vector<PropertyAlias> names;
    for (const CatalogueSet& s : kCatalogue)
      if (set.toLower() == QLatin1String(s.name))
        for (const Alias& a : s.aliases) names.push_back({QString::fromUtf8(a.name), set, a.id});
    // The set's own English names, as far as the catalogue does not spell them.
    constexpr quint32 kHighestBuiltInId = 64;
    for (quint32 id = 0; id <= kHighestBuiltInId; ++id) {
      const QString name = BuiltInPropertyName(known, id);
      const bool spelled = std::any_of(names.begin(), names.end(), [&](const PropertyAlias& a) {
        return a.name.compare(name, Qt::CaseInsensitive) == 0;
      });
      if (!name.isEmpty() && !spelled) names.push_back({name, set, qint32(id)});
    }
    std::stable_sort(names.begin(), names.end(), [](const PropertyAlias& a, const PropertyAlias& b) { return a.id < b.id; });
    all.insert(all.end(), names.begin(), names.end());
  }
  return all;
}

qint32 GetPropertyId(const QString& setName, const QString& propertyName) {
  // A run asks the same few pairs for every document; lowering both names
  // on each call cost more than the rest of a row's search. The answers of
  // one thread are kept, and forgotten when a hostile document's many set
  // names would let them grow without bound.
  struct KnownTag;
  auto& known = PerThread<QHash<std::pair<QString, QString>, qint32>, KnownTag>();
  std::pair<QString, QString> key{setName, propertyName};
  if (const auto it = known.constFind(key); it != known.cend()) return *it;
  if (known.size() >= kMaxKnownPairs) known.clear();
  const qint32 id = LookUp(setName, propertyName);
  known.insert(std::move(key), id);
  return id;
}

}  // namespace tbx
