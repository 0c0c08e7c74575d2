#include "propset/KnownPropertySets.h"

#include <iterator>
#include <span>

namespace tbx {

struct BuiltInName {
  quint32 id;
  const char* name;
};

struct KnownPropertySet {
  const char* name;
  const char* streamName;  // after the leading character 0x05
  QUuid formatId;
  std::span<const BuiltInName> names;
};

namespace {

const BuiltInName kSummaryNames[] = {{2, "Title"},
                                     {3, "Subject"},
                                     {4, "Author"},
                                     {5, "Keywords"},
                                     {6, "Comments"},
                                     {7, "Template"},
                                     {8, "Last Author"},
                                     {9, "Revision Number"},
                                     {10, "Total Editing Time"},
                                     {11, "Last Print Date"},
                                     {12, "Creation Date"},
                                     {13, "Last Save Date"},
                                     {14, "Number of Pages"},
                                     {15, "Number of Words"},
                                     {16, "Number of Characters"},
                                     {18, "Application Name"},
                                     {19, "Security"}};
const BuiltInName kDocumentSummaryNames[] = {{2, "Category"},
                                             {3, "Presentation Format"},
                                             {4, "Byte Count"},
                                             {5, "Line Count"},
                                             {6, "Paragraph Count"},
                                             {7, "Slide Count"},
                                             {8, "Note Count"},
                                             {9, "Hidden Slide Count"},
                                             {10, "Multimedia Clip Count"},
                                             {14, "Manager"},
                                             {15, "Company"}};
const BuiltInName kExtendedSummaryNames[] = {{2, "Saving Application"}, {3, "File Size"}, {4, "Sheet Count"},
                                             {5, "Object Count"},       {7, "Status"},    {8, "Username"},
                                             {9, "Creation Locale"}};
const BuiltInName kProjectNames[] = {{2, "Document Number"}, {3, "Revision"}, {4, "Project Name"}};

// Listing order: the sets users know first, the CAD system's own sets after
// them, the user-defined properties last.
const KnownPropertySet kKnownSets[] = {
    {"SummaryInformation", "SummaryInformation",
     QUuid(0xF29F85E0, 0x4FF9, 0x1068, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9), kSummaryNames},
    {"DocumentSummaryInformation", "DocumentSummaryInformation",
     QUuid(0xD5CDD502, 0x2E9C, 0x101B, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE), kDocumentSummaryNames},
    {"ExtendedSummaryInformation", "C3teagxwOttdbfkuIaamtae3Ie",
     QUuid(0xCC024FA2, 0x6EB5, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88), kExtendedSummaryNames},
    {"ProjectInformation", "Rfunnyd1AvtdbfkuIaamtae3Ie",
     QUuid(0xF0D6D0B1, 0xA0D8, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88), kProjectNames},
    {"MechanicalModeling",
     "K4teagxwOttdbfkuIaamtae3Ie",
     QUuid(0xCC024FCA, 0x6EB5, 0x11CE, 0x8A, 0xA2, 0x08, 0x00, 0x36, 0x01, 0xE9, 0x88),
     {}},
    {"Custom",
     "DocumentSummaryInformation",
     QUuid(0xD5CDD505, 0x2E9C, 0x101B, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE),
     {}},
};

}  // namespace

const KnownPropertySet* FindKnownSet(const QUuid& formatId) {
  for (const KnownPropertySet& set : kKnownSets)
    if (set.formatId == formatId) return &set;
  return nullptr;
}

int KnownSetCount() { return int(std::size(kKnownSets)); }

const KnownPropertySet& KnownSetAt(int rank) { return kKnownSets[rank]; }

int KnownSetRank(const KnownPropertySet& set) { return int(&set - std::begin(kKnownSets)); }

QString KnownSetName(const KnownPropertySet& set) { return QString::fromLatin1(set.name); }

QString KnownSetStreamName(const KnownPropertySet& set) { return QChar(0x05) + QString::fromLatin1(set.streamName); }

QUuid KnownSetFormatId(const KnownPropertySet& set) { return set.formatId; }

QString BuiltInPropertyName(const KnownPropertySet& set, quint32 id) {
  for (const BuiltInName& n : set.names)
    if (n.id == id) return QString::fromLatin1(n.name);
  return QString();
}

bool BuiltInPropertyId(const KnownPropertySet& set, const QString& name, quint32* id) {
  for (const BuiltInName& n : set.names) {
    // Case folding keeps the length; comparing it first spares the folding
    // for nearly every name, and the reader asks this for every set it visits.
    const QLatin1String builtIn(n.name);
    if (builtIn.size() == name.size() && name.compare(builtIn, Qt::CaseInsensitive) == 0) {
      *id = n.id;
      return true;
    }
  }
  return false;
}

}  // namespace tbx
