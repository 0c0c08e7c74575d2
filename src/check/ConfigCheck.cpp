#include "check/ConfigCheck.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "check/ConfigSample.h"
#include "common/Config.h"
#include "common/ConfigLocation.h"
#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"
#include "common/ProgramInfo.h"
#include "common/RunLog.h"
#include "platform/FileSystem.h"
#include "text/Encodings.h"
#include "common/Profile.h"
#include "run/ColumnMapping.h"
#include "run/RunTarget.h"
#include "run/StartSettings.h"
#include "run/WorkbookOutput.h"
#include "xlsx/xlsx.h"

namespace tbx {
namespace {

// The sections of the settings table, each with the keys a run reads in it.
struct KnownSection {
  QString name;
  QStringList keys;  // empty: the keys are columns or property names
};

const std::vector<KnownSection>& KnownSections() {
  static const std::vector<KnownSection> sections = [] {
    std::vector<KnownSection> known;
    for (const ini::Setting& setting : ini::kSettings) {
      const QString name = QString::fromLatin1(setting.section);
      auto it = std::find_if(known.begin(), known.end(), [&](const KnownSection& k) { return k.name == name; });
      if (it == known.end()) it = known.insert(known.end(), KnownSection{name, {}});
      if (setting.key) it->keys << QString::fromLatin1(setting.key);
    }
    return known;
  }();
  return sections;
}

// A section as the reads see it: its first occurrence, each key's first line.
struct Section {
  QString name;
  int line = 0;
  std::vector<ProfileKey> keys;
  const ProfileKey* Key(const char* key) const {
    for (const ProfileKey& k : keys)
      if (k.name.compare(QLatin1String(key), Qt::CaseInsensitive) == 0) return &k;
    return nullptr;
  }
};

class Checker {
 public:
  explicit Checker(const QString& configPath) : configPath_(configPath) {}

  std::vector<Finding> Run() {
    QByteArray bytes;
    if (const std::optional<QString> problem = ConfigurationFileProblem(configPath_, &bytes)) {
      Error(0, *problem);
      return findings_;
    }
    profile_ = Profile::Parse(DecodeTextFile(bytes));
    ReadSections();
    database_ = IsYes(Value(ini::kDoSql), SwitchDefault(ini::kDoSql));
    CheckSettings();
    CheckTarget();
    mapping_ = Find(database_ ? ini::kSqlMapProperties : ini::kMapProperties);
    CheckMappingKeys();
    CheckUnknownSections();
    sample_ = SampleDocuments(Value(ini::kSourceDir), Value(ini::kPattern));
    if (database_) {
      for (Finding& f : CheckDatabase(configPath_, sample_, mapping_ ? MappedNames() : QStringList())) Add(std::move(f));
    } else {
      CheckPropertyNames();
    }
    CheckFormatPatterns();
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    return findings_;
  }

 private:
  void Add(Finding f) { findings_.push_back(std::move(f)); }
  void Warn(int line, const QString& text) { Add({line, Severity::Warning, text}); }
  void Error(int line, const QString& text) { Add({line, Severity::Error, text}); }

  // The sections and keys as the reads see them, and a warning for every
  // line they never read: the parse decides, so the check and a run agree.
  void ReadSections() {
    for (const ProfileKey& k : profile_.keysBeforeSections)
      Warn(k.line, QStringLiteral("%1 steht vor jedem Abschnitt und wird nicht gelesen").arg(k.name));
    for (const ProfileSection& ignored : profile_.ignoredSections)
      Warn(ignored.line, QStringLiteral("Abschnitt [%1] steht schon in Zeile %2; dieser wird nicht gelesen")
                             .arg(ignored.name)
                             .arg(profile_.Section(ignored.name)->line));
    for (const ProfileSection& parsed : profile_.sections) {
      Section& section = sections_.emplace_back(Section{parsed.name, parsed.line, {}});
      for (const ProfileKey& k : parsed.keys) {
        const ProfileKey* first = parsed.Key(k.name);
        if (first == &k)
          section.keys.push_back(k);
        else
          Warn(k.line, QStringLiteral("%1 steht in [%2] schon in Zeile %3; nur der erste Eintrag gilt")
                           .arg(k.name, parsed.name)
                           .arg(first->line));
      }
    }
  }

  const Section* Find(const QString& name) const {
    const ProfileSection* parsed = profile_.Section(name);
    return parsed ? &sections_[size_t(parsed - profile_.sections.data())] : nullptr;
  }
  const Section* Find(const char* name) const { return Find(QString::fromLatin1(name)); }

  QString Value(const ini::Setting& setting) const {
    const Section* s = Find(setting.section);
    const ProfileKey* k = s ? s->Key(setting.key) : nullptr;
    return k ? k->value : QString();
  }
  int LineOf(const ini::Setting& setting) const {
    const Section* s = Find(setting.section);
    const ProfileKey* k = s ? s->Key(setting.key) : nullptr;
    return k ? k->line : (s ? s->line : 0);
  }

  void CheckSettings() {
    const QString maxRange = Value(ini::kMaxRange).trimmed();
    // An .xlsx workbook's sheet takes the larger parts.
    const int largest = IsXlsxName(Value(ini::kExcelFile)) ? ini::kMaxRangeXlsx : ini::kMaxRangeMax;
    bool whole = false;
    if (!maxRange.isEmpty() && MaxRangeFromText(maxRange, largest) != maxRange.toInt(&whole))
      Warn(LineOf(ini::kMaxRange),
           QStringLiteral("maxRange=%1 gilt nicht: erlaubt sind ganze Zahlen von %2 bis %3, es gilt %4")
               .arg(maxRange)
               .arg(ini::kMaxRangeMin)
               .arg(largest)
               .arg(DefaultNumber(ini::kMaxRange)));
    const QString pattern = Value(ini::kPattern).trimmed();
    if (pattern != QLatin1String(ini::kPattern.defaultValue)) {
      for (const QString& entry : pattern.split(u' ', Qt::SkipEmptyParts)) {
        if (entry.contains(u'.') || entry.contains(u',') || entry.contains(u'*') || entry.contains(u'?'))
          Warn(LineOf(ini::kPattern),
               QStringLiteral("Pattern-Eintrag \"%1\" findet keine Datei: Endungen ohne Punkt, Komma oder "
                              "Platzhalter, durch Leerzeichen getrennt (etwa \"par psm\")")
                   .arg(entry));
      }
    }
    const QString header = Value(ini::kKopfzeile).trimmed();
    if (IsYes(header, false) && !HeaderSwitchOn(header))
      Warn(LineOf(ini::kKopfzeile),
           QStringLiteral("Kopfzeile=%1 schaltet die Kopfzeile nicht ein: nur ja, 1, true, wahr oder yes in "
                          "Kleinbuchstaben")
               .arg(header));
  }

  // What a run's target checks would stop at.
  void CheckTarget() {
    if (const auto problem = StartFolderProblem(WithTrailingBackslash(Value(ini::kSourceDir))))
      Error(LineOf(ini::kSourceDir), *problem);
    // The configuration's folder serves as the program's folder, as in a run.
    SetProgramFolder(QFileInfo(configPath_).absolutePath());
    QString excel = Value(ini::kExcelFile);
    if (!excel.isEmpty()) excel = ResolvedWorkbookPath(excel);
    const WorkbookContext context{configPath_, RunLog().LogFilePath()};
    if (const auto problem = WorkbookProblem(excel, context)) Error(LineOf(ini::kExcelFile), *problem);
  }

  void CheckMappingKeys() {
    if (!mapping_ || mapping_->keys.empty()) {
      Warn(mapping_ ? mapping_->line : 0,
           QStringLiteral("[%1] ordnet keine Spalten zu: die Arbeitsmappe erhält nur Pfad und Dateiname")
               .arg(QLatin1String(database_ ? ini::kSqlMapProperties : ini::kMapProperties)));
      return;
    }
    for (const ProfileKey& k : mapping_->keys) {
      try {
        // The check a run's first row makes, on the grid of the workbook's format.
        ColumnNumber(ParseMappedColumn(k.name, k.value), 1, IsXlsxName(Value(ini::kExcelFile)) ? kXlsxGrid : kXlsGrid);
      } catch (const RunError&) {
        Error(k.line, QStringLiteral("%1 ist keine Spalte von A bis %2: der Lauf endet mit Laufzeitfehler 1004")
                          .arg(k.name, IsXlsxName(Value(ini::kExcelFile)) ? QStringLiteral("XFD") : QStringLiteral("IV")));
      }
      // Columns A and B hold folder and file name; a mapping there replaces
      // them, header and cells, which a configuration may mean, but rarely does.
      if (k.name.compare(u"A", Qt::CaseInsensitive) == 0 || k.name.compare(u"B", Qt::CaseInsensitive) == 0)
        Warn(k.line, QStringLiteral("%1=%2 überschreibt die Spalte %3 (%4) in Kopfzeile und Zeilen")
                         .arg(k.name, k.value, k.name.toUpper(),
                              k.name.compare(u"A", Qt::CaseInsensitive) == 0 ? QStringLiteral("Pfad")
                                                                            : QStringLiteral("Dateiname")));
      const qsizetype length = k.value.indexOf(QLatin1String("#L"));
      if (length >= 0 && k.value.indexOf(QLatin1String("#Q"), length) > length)
        Warn(k.line, QStringLiteral("%1=%2: #Q hinter #L wird mit der Länge abgeschnitten; der Wert wird weder "
                                    "gekürzt noch in Anführungszeichen gesetzt (#Q vor #L schreiben)")
                         .arg(k.name, k.value));
    }
  }

  QStringList MappedNames() const {
    QStringList names;
    for (const ProfileKey& k : mapping_->keys) names << ParseMappedColumn(k.name, k.value).PropertyName;
    return names;
  }

  // Sections that are neither known nor a mapped property's format section.
  void CheckUnknownSections() {
    QStringList candidates;
    for (const KnownSection& k : KnownSections()) candidates << k.name;
    const QStringList mapped = mapping_ ? MappedNames() : QStringList();
    for (const Section& s : sections_) {
      const KnownSection* known = nullptr;
      for (const KnownSection& k : KnownSections())
        if (s.name.compare(k.name, Qt::CaseInsensitive) == 0) known = &k;
      if (known) {
        CheckKeys(s, *known);
      } else if (mapped.contains(s.name, Qt::CaseInsensitive)) {
        formatSections_.push_back(&s);
      } else {
        Warn(s.line, QStringLiteral("Unbekannter Abschnitt [%1]").arg(s.name) +
                         Suggestion(s.name, candidates + mapped) +
                         QStringLiteral(" (Formatmuster gelten nur für zugeordnete Eigenschaften)"));
      }
    }
  }

  void CheckKeys(const Section& s, const KnownSection& known) {
    if (known.keys.empty()) return;
    for (const ProfileKey& k : s.keys)
      if (!known.keys.contains(k.name, Qt::CaseInsensitive))
        Warn(k.line, QStringLiteral("Unbekannter Schlüssel in [%1]: %2").arg(s.name, k.name) + Suggestion(k.name, known.keys));
  }

  void CheckPropertyNames() {
    const int sampled = int(sample_.documents.size());
    const auto check = [&](int line, const QString& name, const QString& effect) {
      if (sample_.Knows(name)) return;
      Warn(line, QStringLiteral("%1 kennt weder der Katalog noch eines der ersten %2 Dokumente unter SourceDir: %3")
                     .arg(name).arg(sampled).arg(effect) +
                     Suggestion(name, sample_.KnownNames()));
    };
    if (mapping_)
      for (const ProfileKey& k : mapping_->keys) {
        const MappedColumn column = ParseMappedColumn(k.name, k.value);
        // An unlimited #Q column quotes the empty value too.
        check(k.line, column.PropertyName,
              column.Quote && column.MaxLength < 1 ? QStringLiteral("die Zellen enthalten nur \"\"")
                                                   : QStringLiteral("die Spalte bleibt leer"));
      }
    if (const Section* criteria = Find(ini::kCriteria))
      for (const ProfileKey& k : criteria->keys)
        check(k.line, k.name, QStringLiteral("das Kriterium schließt kein Dokument aus"));
    for (const Section* s : formatSections_) check(s->line, s->name, QStringLiteral("die Formatmuster prüfen nichts"));
  }

  void CheckFormatPatterns() {
    if (database_) return;
    for (const Section* s : formatSections_) {
      const QStringList values = sample_.ValuesOf(s->name);
      if (values.isEmpty()) continue;
      for (int n = 0; n < ini::kFormatKeyCount; ++n) {
        const QByteArray key = QByteArray(ini::kFormatKeyPrefix) + QByteArray::number(n);
        const ProfileKey* pattern = s->Key(key.constData());
        if (!pattern || pattern->value.isEmpty()) break;
        const bool fits = std::any_of(values.begin(), values.end(),
                                      [&](const QString& v) { return MatchFormat(v, pattern->value); });
        if (!fits)
          Warn(pattern->line, QStringLiteral("%1=%2 passt zu keinem der %3 Werte aus den ersten Dokumenten (etwa \"%4\")")
                                  .arg(QString::fromLatin1(key), pattern->value)
                                  .arg(values.size())
                                  .arg(values.first()));
      }
    }
  }

  // " – gemeint ist wohl X?" for the nearest candidate a typing slip away.
  static QString Suggestion(const QString& name, const QStringList& candidates) {
    QString best;
    int bestDistance = 3;
    for (const QString& c : candidates) {
      const int d = EditDistance(name.toLower(), c.toLower());
      if (d > 0 && d < bestDistance && d < std::max<int>(2, name.size() / 2)) {
        bestDistance = d;
        best = c;
      }
    }
    return best.isEmpty() ? QString() : QStringLiteral(" – gemeint ist wohl %1?").arg(best);
  }

  static int EditDistance(const QString& a, const QString& b) {
    std::vector<int> row(size_t(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j) row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
      int diagonal = row[0];
      row[0] = int(i);
      for (qsizetype j = 1; j <= b.size(); ++j) {
        const int up = row[size_t(j)];
        row[size_t(j)] = std::min({up + 1, row[size_t(j) - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
        diagonal = up;
      }
    }
    return row.back();
  }

  QString configPath_;
  Profile profile_;
  std::vector<Section> sections_;  // one per section of profile_, in its order
  std::vector<Finding> findings_;
  std::vector<const Section*> formatSections_;
  const Section* mapping_ = nullptr;
  bool database_ = false;
  DocumentSample sample_;
};

}  // namespace

std::vector<Finding> CheckConfiguration(const QString& configPath) { return Checker(configPath).Run(); }

QString FindingLine(const QString& file, const Finding& finding) {
  const QString kind = finding.severity == Severity::Error ? QStringLiteral("Fehler") : QStringLiteral("Warnung");
  const QString place = finding.line <= 0 ? file : file + u':' + QString::number(finding.line);
  return place + QStringLiteral(": ") + kind + QStringLiteral(": ") + finding.text;
}

int CheckExitStatus(const std::vector<Finding>& findings) {
  if (findings.empty()) return 0;
  const bool error = std::any_of(findings.begin(), findings.end(),
                                 [](const Finding& f) { return f.severity == Severity::Error; });
  return error ? 2 : 1;
}

}  // namespace tbx
