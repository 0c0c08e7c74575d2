#include "SampleDocument.h"

#include <QDateTime>
#include <QJsonArray>
#include <QLocale>
#include <QTimeZone>
#include <algorithm>

#include "cfb/CompoundFileWriter.h"
#include "common/TextForm.h"
#include "propset/KnownPropertySets.h"

namespace tbx::samplegen {
namespace {

const QLocale& German() {
  static const QLocale locale(QLocale::German, QLocale::Germany);
  return locale;
}

SampleProperty Text(quint32 id, quint16 type, const QString& value, const QString& name = {}) {
  return {id, name, type, value, value};
}
SampleProperty Integer(quint32 id, quint16 type, qint64 value, const QString& name = {}) {
  return {id, name, type, value, IntegerText(value, German())};
}
SampleProperty Boolean(quint32 id, bool value, const QString& name = {}) {
  return {id, name, VT_BOOL, qint64(value), BoolText(value, German())};
}
SampleProperty Real(quint32 id, quint16 type, double value, const QString& name = {}) {
  const double shown = type == VT_R4 ? QString::number(float(value), 'g', 7).toDouble() : value;
  return {id, name, type, value, RealText(shown, German())};
}
// A FILETIME in UTC; the reader shows it in local time. An invalid time is
// stored as 0, the writers' "not set", which has no text form.
SampleProperty FileTime(quint32 id, const QDateTime& utc, const QString& name = {}) {
  if (!utc.isValid()) return {id, name, VT_FILETIME, quint64(0), QString()};
  static const QDateTime epoch(QDate(1601, 1, 1), QTime(0, 0), QTimeZone::utc());
  const quint64 ticks = quint64(epoch.secsTo(utc)) * 10000000ULL;
  return {id, name, VT_FILETIME, ticks, GeneralDateText(utc.toLocalTime(), German())};
}
SampleProperty OleDate(quint32 id, const QDateTime& local, const QString& name = {}) {
  const double days =
      double(QDate(1899, 12, 30).daysTo(local.date())) + local.time().msecsSinceStartOfDay() / 86400000.0;
  return {id, name, VT_DATE, days, GeneralDateText(local, German())};
}
SampleProperty NoText(quint32 id, quint16 type, const QVariant& value, const QString& name = {}) {
  return {id, name, type, value, QString()};
}

const char* const kTitlesDe[] = {
    "Kurbelwelle",  "Getriebegehäuse",         "Flansch DN50",          "Lagerschild links",
    "Zahnrad z=42", "Schweißbaugruppe Rahmen", "Abdeckblech „Entwurf“", "Spannvorrichtung für Fräse"};
const char* const kTitlesEn[] = {"Crankshaft",  "Gearbox housing",       "Flange DN50",           "Bracket, left",
                                 "Motor mount", "Welded frame assembly", "Cover plate \"draft\"", "Fixture"};
const char* const kPeople[] = {"Jürgen Müller", "Anna Schäfer", "Björn Weiß",  "J. Smith",
                               "Zoë O'Brien",   "Kai Groß",     "Renée Dubois"};
const char* const kMaterials[] = {"Stahl S235JR",      "Aluminium 6061",  "Edelstahl 1.4301",
                                  "Messing CuZn39Pb3", "Steel AISI 1045", "Grauguss EN-GJL-250"};
const char* const kCompanies[] = {"Müller & Söhne GmbH", "Acme Engineering Ltd.", "Präzisionsteile Süd AG",
                                  "Nordwerk KG"};
const char* const kProjects[] = {"Förderanlage Halle 3", "Windkraft 2027", "Retrofit Presse P12", "Conveyor upgrade"};
const char* const kStates[] = {"In Arbeit", "Geprüft", "Freigegeben", "Released", "Obsolete"};

QString LongComment(Random& random, bool german) {
  const char* const de[] = {"Toleranzen nach ISO 2768-mK.",
                            "Alle Kanten gebrochen 0,5 × 45°.",
                            "Oberfläche gestrahlt und grundiert.",
                            "Maße in mm; Gewinde nach DIN 13.",
                            "Achtung: Änderung gegenüber Rev. B beachten!",
                            "Preis je Stück ca. 12,50 €."};
  const char* const en[] = {"Tolerances per ISO 2768-mK.", "Break all edges 0.5 x 45°.", "Surface blasted and primed.",
                            "Dimensions in mm.", "See change note for rev. B."};
  QString text;
  const int sentences = random.Between(1, 14);
  for (int i = 0; i < sentences; ++i) {
    if (!text.isEmpty()) text += random.Chance(10) ? QStringLiteral("\r\n") : QStringLiteral(" ");
    text += QString::fromUtf8(german ? random.Pick(de) : random.Pick(en));
  }
  return text;
}

QDateTime SomeTimeUtc(Random& random) {
  const QDateTime start(QDate(2015, 1, 1), QTime(0, 0), QTimeZone::utc());
  return start.addSecs(qint64(random.Below(12 * 365)) * 86400 + random.Below(86400));
}

SampleSection Section(const char* setName, quint16 codePage) {
  for (int r = 0; r < KnownSetCount(); ++r) {
    const KnownPropertySet& set = KnownSetAt(r);
    if (KnownSetName(set) == QLatin1String(setName))
      return SampleSection{KnownSetName(set), KnownSetFormatId(set), codePage, {}};
  }
  return SampleSection{QString::fromLatin1(setName), QUuid(), codePage, {}};
}

QString StreamOf(const char* setName) {
  for (int r = 0; r < KnownSetCount(); ++r)
    if (KnownSetName(KnownSetAt(r)) == QLatin1String(setName)) return KnownSetStreamName(KnownSetAt(r));
  return QString();
}

SampleSection Summary(Random& random, const SampleDocument& doc, int number, const QDateTime& created) {
  SampleSection s = Section("SummaryInformation", 1252);
  const QString title = QString::fromUtf8(doc.german ? random.Pick(kTitlesDe) : random.Pick(kTitlesEn));
  const QString author = QString::fromUtf8(random.Pick(kPeople));
  s.properties = {
      Text(2, VT_LPSTR, title + QStringLiteral(" %1").arg(number)),
      Text(3, VT_LPSTR, doc.german ? QStringLiteral("Baugruppe Antrieb") : QStringLiteral("Drive assembly")),
      Text(4, VT_LPSTR, author),
      Text(5, VT_LPSTR, doc.german ? QStringLiteral("Welle; Lager; Stückliste") : QStringLiteral("shaft; bearing")),
      Text(6, VT_LPSTR, LongComment(random, doc.german)),
      Text(7, VT_LPSTR, QStringLiteral("C:\\Vorlagen\\Normteil.%1").arg(doc.kind)),
      Text(8, VT_LPSTR, QString::fromUtf8(random.Pick(kPeople))),
      Text(9, VT_LPSTR, QString::number(random.Between(1, 12))),
      FileTime(11, QDateTime()),  // never printed
      FileTime(12, created),
      FileTime(13, created.addSecs(random.Between(60, 400 * 86400))),
      Integer(14, VT_I4, doc.kind == u"dft" ? random.Between(1, 6) : 0),
      Text(18, VT_LPSTR, QStringLiteral("Solid Edge")),
      Integer(19, VT_I4, 0),
      NoText(17, VT_CF, QByteArray("\xFF\xFF\xFF\xFF\x03\x00\x00\x00thumbnail", 17)),
  };
  // Writers list identifiers in whatever order they like.
  if (random.Chance(30)) std::reverse(s.properties.begin(), s.properties.end());
  return s;
}

SampleSection DocumentSummary(Random& random, const SampleDocument& doc) {
  SampleSection s = Section("DocumentSummaryInformation", 1252);
  s.properties = {
      Text(2, VT_LPSTR, doc.german ? QStringLiteral("Maschinenbau") : QStringLiteral("Mechanical")),
      Integer(4, VT_I4, random.Between(10000, 900000)),
      Text(14, VT_LPSTR, QString::fromUtf8(random.Pick(kPeople))),
      Text(15, VT_LPSTR, QString::fromUtf8(random.Pick(kCompanies))),
      NoText(12, VT_VECTOR | VT_VARIANT, QStringList{QStringLiteral("Titel"), QStringLiteral("1")}),
      NoText(13, VT_VECTOR | VT_LPSTR, QStringList{QStringLiteral("Modell"), QStringLiteral("Blatt1")}),
  };
  return s;
}

SampleSection ExtendedSummary(Random& random, const SampleDocument& doc) {
  SampleSection s = Section("ExtendedSummaryInformation", 1200);
  s.properties = {
      Text(2, VT_LPWSTR, QStringLiteral("Solid Edge 2026")),
      Integer(3, VT_I4, random.Between(20000, 4000000)),
      Integer(7, VT_I4, random.Between(0, 5)),
      Text(8, VT_LPWSTR, QString::fromUtf8(random.Pick(kPeople))),
      Integer(9, VT_I4, doc.german ? 1031 : 1033),
      Text(
          16, VT_LPWSTR,
          QStringLiteral("{%1}").arg(QUuid(random.Next(), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0).toString(QUuid::WithoutBraces)),
          QStringLiteral("DocumentID")),
  };
  return s;
}

SampleSection Project(Random& random, int number) {
  SampleSection s = Section("ProjectInformation", 65001);
  s.properties = {
      Text(2, VT_LPSTR, QStringLiteral("ZN-%1-%2").arg(random.Between(100, 999)).arg(number, 5, 10, QChar(u'0'))),
      Text(3, VT_LPSTR, QString(QChar(u'A' + random.Below(6)))),
      Text(4, VT_LPSTR, QString::fromUtf8(random.Pick(kProjects))),
  };
  return s;
}

SampleSection Mechanical(Random& random) {
  SampleSection s = Section("MechanicalModeling", 1252);
  s.properties = {
      Text(2, VT_LPSTR, QString::fromUtf8(random.Pick(kMaterials)), QStringLiteral("Material")),
      Real(3, VT_R8, 7850.0 - random.Below(5000) * 0.25, QStringLiteral("Dichte")),
      Real(4, VT_R8, random.Between(1, 500000) / 1000.0, QStringLiteral("Masse")),
      Real(5, VT_R4, random.Between(1, 9999) / 10.0, QStringLiteral("Volumen")),
  };
  return s;
}

// User-defined properties: names from the dictionary, every value type users
// meet, one name that shadows a standard property of an earlier set.
SampleSection Custom(Random& random, const SampleDocument& doc, const QDateTime& created) {
  const quint16 codePages[] = {1252, 65001, 1200};
  SampleSection s = Section("Custom", random.Pick(codePages));
  quint32 id = 2;
  s.properties = {
      Text(id++, VT_LPSTR, QString::fromUtf8(random.Pick(kPeople)), QStringLiteral("Prüfer")),
      Real(id++, VT_R8, random.Between(1, 99999) / 100.0, QStringLiteral("Gewicht")),
      Integer(id++, VT_I4, random.Between(-5, 5000), QStringLiteral("Stückzahl")),
      Boolean(id++, random.Chance(50), QStringLiteral("Freigegeben")),
      FileTime(id++, created.addDays(random.Between(1, 90)), QStringLiteral("Freigabedatum")),
      OleDate(id++,
              QDateTime(QDate(2026, 1 + random.Below(12), 1 + random.Below(28)),
                        random.Chance(50) ? QTime(0, 0) : QTime(random.Below(24), random.Below(60), random.Below(60))),
              QStringLiteral("Liefertermin")),
      Text(id++, VT_LPSTR, QString::fromUtf8(random.Pick(kStates)), QStringLiteral("Status")),
      Text(id++, VT_LPSTR, QStringLiteral("Schatten-Autor"), QStringLiteral("Author")),
      Text(id++, VT_LPSTR, QString(), QStringLiteral("Leer")),
      NoText(id++, VT_EMPTY, QVariant(), QStringLiteral("Ohne Wert")),
      Integer(id++, VT_I8, qint64(random.Next() >> 20) - (qint64(1) << 42), QStringLiteral("Sachnummer")),
      Real(id++, VT_CY, random.Between(1, 10000000) / 100.0, QStringLiteral("Preis")),
      Integer(id++, VT_UI4, quint32(random.Next()), QStringLiteral("Prüfsumme")),
      Text(id++, VT_LPSTR, LongComment(random, doc.german) + QStringLiteral("\tEnde"), QStringLiteral("Bemerkung")),
      NoText(id++, VT_BLOB, QByteArray(int(random.Between(1, 40)), 'x'), QStringLiteral("Rohdaten")),
  };
  return s;
}

}  // namespace

SampleDocument MakeDocument(Random& random, const QString& kind, int number) {
  SampleDocument doc;
  doc.kind = kind;
  doc.german = random.Chance(70);
  const QDateTime created = SomeTimeUtc(random);
  auto propertyStream = [](const char* set, std::vector<SampleSection> sections) {
    return SampleStream{StreamOf(set), std::move(sections), {}};
  };
  doc.streams = {
      propertyStream("SummaryInformation", {Summary(random, doc, number, created)}),
      propertyStream("DocumentSummaryInformation", {DocumentSummary(random, doc), Custom(random, doc, created)}),
      propertyStream("ExtendedSummaryInformation", {ExtendedSummary(random, doc)}),
      propertyStream("ProjectInformation", {Project(random, number)}),
      propertyStream("MechanicalModeling", {Mechanical(random)}),
  };
  if (kind == u"dft" && random.Chance(50)) {
    SampleSection sheet{QStringLiteral("Zeichnungsrahmen"),
                        QUuid(0x1D3E0C57, 0x2B4A, 0x4E1F, 0x9A, 0x51, 0x33, 0x7C, 0x02, 0x8E, 0x61, 0xF0),
                        1252,
                        {}};
    sheet.properties = {Text(2, VT_LPSTR, QStringLiteral("A3 quer"), QStringLiteral("Blattformat")),
                        Text(3, VT_LPSTR, QStringLiteral("1:2"), QStringLiteral("Maßstab"))};
    doc.streams.push_back(SampleStream{QChar(0x05) + QStringLiteral("Zeichnungsrahmen"), {sheet}, {}});
  }
  // The reader must not depend on the order of the streams in the directory.
  for (size_t i = doc.streams.size(); i > 1; --i)
    std::swap(doc.streams[i - 1], doc.streams[size_t(random.Below(int(i)))]);
  QByteArray body(random.Between(200, random.Chance(10) ? 60000 : 6000), Qt::Uninitialized);
  for (char& c : body) c = char(random.Next());
  doc.streams.push_back(SampleStream{QStringLiteral("JSite"), {}, body});
  doc.streams.push_back(SampleStream{QStringLiteral("Version"), {}, QByteArray("SE 226.00.00.114")});
  return doc;
}

QByteArray BuildFile(const SampleDocument& document) {
  CompoundFileWriter writer;
  for (const SampleStream& s : document.streams)
    writer.AddStream(s.name, s.sections.empty() ? s.data : WritePropertySetStream(s.sections));
  return writer.Serialize();
}

QJsonObject DescribeDocument(const SampleDocument& document) {
  struct Listed {
    int rank;
    const SampleStream* stream;
    const SampleSection* section;
  };
  std::vector<Listed> listed;
  for (const SampleStream& stream : document.streams) {
    for (const SampleSection& section : stream.sections) {
      const KnownPropertySet* known = FindKnownSet(section.formatId);
      listed.push_back({known ? KnownSetRank(*known) : KnownSetCount(), &stream, &section});
    }
  }
  std::stable_sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) { return a.rank < b.rank; });
  QJsonArray sets;
  for (const Listed& l : listed) {
    const KnownPropertySet* known = FindKnownSet(l.section->formatId);
    QJsonArray properties;
    for (const SampleProperty& p : l.section->properties) {
      QString name = p.name;
      if (name.isEmpty() && known) name = BuiltInPropertyName(*known, p.id);
      QJsonObject o{{"id", qint64(p.id)}, {"name", name}, {"type", p.type}, {"text_de", p.textDe}};
      if (p.type == VT_FILETIME) o.insert("filetime", QString::number(p.value.toULongLong()));
      properties.append(o);
    }
    sets.append(QJsonObject{{"index", sets.size()},
                            {"name", l.section->setName},
                            {"formatId", l.section->formatId.toString(QUuid::WithoutBraces).toUpper()},
                            {"stream", l.stream->name.mid(1)},
                            {"codePage", l.section->codePage},
                            {"properties", properties}});
  }
  return QJsonObject{{"kind", document.kind}, {"language", document.german ? "de" : "en"}, {"sets", sets}};
}

}  // namespace tbx::samplegen
