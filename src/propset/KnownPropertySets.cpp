#include "propset/KnownPropertySets.h"

#include <iterator>
#include <span>
#include <string_view>

namespace tbx {

// Names are UTF-16 literals, handed out as QStrings over the static text:
// the reader names every property of every document it reads, and copying
// each name into a new string cost more than parsing its value.
struct BuiltInName {
  quint32 id;
  std::u16string_view name;
};

struct KnownPropertySet {
  std::u16string_view name;
  const char* streamName;  // after the leading character 0x05
  QUuid formatId;
  std::span<const BuiltInName> names;
};

namespace {

const BuiltInName kSummaryNames[] = {{2, u"Title"},
                                     {3, u"Subject"},
                                     {4, u"Author"},
                                     {5, u"Keywords"},
                                     {6, u"Comments"},
                                     {7, u"Template"},
                                     {8, u"Last Author"},
                                     {9, u"Revision Number"},
                                     {10, u"Total Editing Time"},
                                     {11, u"Last Print Date"},
                                     {12, u"Creation Date"},
                                     {13, u"Last Save Date"},
                                     {14, u"Number of Pages"},
                                     {15, u"Number of Words"},
                                     {16, u"Number of Characters"},
                                     {18, u"Application Name"},
                                     {19, u"Security"}};
const BuiltInName kDocumentSummaryNames[] = {{2, u"Category"},
                                             {3, u"Presentation Format"},
                                             {4, u"Byte Count"},
                                             {5, u"Line Count"},
                                             {6, u"Paragraph Count"},
                                             {7, u"Slide Count"},
                                             {8, u"Note Count"},
                                             {9, u"Hidden Slide Count"},
                                             {10, u"Multimedia Clip Count"},
                                             {14, u"Manager"},
                                             {15, u"Company"}};
const BuiltInName kExtendedSummaryNames[] = {{2, u"Saving Application"}, {3, u"File Size"}, {4, u"Sheet Count"},
                                             {5, u"Object Count"},       {7, u"Status"},    {8, u"Username"},
                                             {9, u"Creation Locale"}};
const BuiltInName kProjectNames[] = {{2, u"Document Number"}, {3, u"Revision"}, {4, u"Project Name"}};

// Listing order: the sets users know first, the CAD system's own sets after
// them, the user-defined properties last.
const KnownPropertySet kKnownSets[] = {
    {u"SummaryInformation", "SummaryInformation",
     QUuid(0xF29F85E0, 0x4FF9, 0x1068, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9), kSummaryNames},
    {u"DocumentSummaryInformation", "DocumentSummaryInformation",
     QUuid(0xD5CDD502, 0x2E9C, 0x101B, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE), kDocumentSummaryNames},
    {u"ExtendedSummaryInformation", "C3teagxwOttdbfkuIaamtae3Ie",
     QUuid(0xCC024FA2, 0x6EB5, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88), kExtendedSummaryNames},
    {u"ProjectInformation", "Rfunnyd1AvtdbfkuIaamtae3Ie",
     QUuid(0xF0D6D0B1, 0xA0D8, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88), kProjectNames},
    {u"MechanicalModeling",
     "K4teagxwOttdbfkuIaamtae3Ie",
     QUuid(0xCC024FCA, 0x6EB5, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88),
     {}},
    {u"Custom",
     "DocumentSummaryInformation",
     QUuid(0xD5CDD505, 0x2E9C, 0x101B, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE),
     {}},
};

QString StaticText(std::u16string_view text) {
  return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

const KnownPropertySet* FindKnownSet(const QUuid& formatId) {
  for (const KnownPropertySet& set : kKnownSets)
    if (set.formatId == formatId) return &set;
  return nullptr;
}

int KnownSetCount() { return int(std::size(kKnownSets)); }

const KnownPropertySet& KnownSetAt(int rank) { return kKnownSets[rank]; }

int KnownSetRank(const KnownPropertySet& set) { return int(&set - std::begin(kKnownSets)); }

QString KnownSetName(const KnownPropertySet& set) { return StaticText(set.name); }

QString KnownSetStreamName(const KnownPropertySet& set) { return QChar(0x05) + QString::fromLatin1(set.streamName); }

QUuid KnownSetFormatId(const KnownPropertySet& set) { return set.formatId; }

QString BuiltInPropertyName(const KnownPropertySet& set, quint32 id) {
  for (const BuiltInName& n : set.names)
    if (n.id == id) return StaticText(n.name);
  return QString();
}

bool BuiltInPropertyId(const KnownPropertySet& set, const QString& name, quint32* id) {
  for (const BuiltInName& n : set.names) {
    // Case folding keeps the length; comparing it first spares the folding
    // for nearly every name, and the reader asks this for every set it visits.
    const QStringView builtIn(n.name.data(), qsizetype(n.name.size()));
    if (builtIn.size() == name.size() && builtIn.compare(name, Qt::CaseInsensitive) == 0) {
      *id = n.id;
      return true;
    }
  }
  return false;
}

}  // namespace tbx
