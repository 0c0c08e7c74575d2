#include "check/ConfigSample.h"

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/DirectoryScan.h"
#include "common/PathHelpers.h"
#include "common/RunError.h"
#include "database/modDatabase.h"
#include "docprops/DocumentParse.h"
#include "docprops/modDocProps.h"
#include "platform/FileSystem.h"
#include "common/WorkerPool.h"
#include "run/ColumnMapping.h"

namespace tbx {
namespace {

// Dialogs whose messages become findings: a check shows no windows.
class CollectingDialogs : public Dialogs {
 public:
  int MessageBox(const QString& text, MessageButtons, MessageIcon, const QString&) override {
    texts << text;
    return kResultOk;
  }
  QString BrowseForFolder(const QString&, const QString&) override { return QString(); }
  QString SaveFileName(const SaveDialogRequest&) override { return QString(); }
  int ShowInfo(const QString& message, InfoButtons, const QString&, InfoPicture) override {
    texts << message;
    return kResultOk;
  }
  QStringList texts;
};

}  // namespace

bool DocumentSample::Knows(const QString& name) const {
  if (names.contains(name.toLower()) || IsSpecialName(name)) return true;
  for (const PropertyAlias& a : PropertyAliases())
    if (a.name.compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

QStringList DocumentSample::KnownNames() const {
  QStringList known = names.values();
  for (const PropertyAlias& a : PropertyAliases()) known << a.name;
  return known << QStringLiteral("Erstelldatum") << QStringLiteral("%Dateityp");
}

QStringList DocumentSample::ValuesOf(const QString& property) const {
  QStringList values;
  for (const DocumentParse& parse : parses) {
    const PropertyLookup found = LookUpProperty(parse, property);
    if (found.outcome == PropertyLookup::Found && !found.value.text.isEmpty()) values << found.value.text;
  }
  return values;
}

DocumentSample SampleDocuments(const QString& sourceDir, const QString& pattern) {
  DocumentSample sample;
  HeadlessProgress quiet;  // the check shows no progress
  const QString folder = WithTrailingBackslash(sourceDir);
  if (folder.isEmpty() || !PathExists(folder, kAttrDirectory)) return sample;
  try {
    const QString extensions =
        pattern.trimmed().isEmpty() ? QString::fromLatin1(ini::kPattern.defaultValue) : pattern.trimmed();
    RunLog noLog;  // the check writes no log
    const int readers = ConfiguredReaders();
    WorkerPool pool(readers >= 2 ? readers : 0);
    sample.documents = CollectFiles(noLog, quiet, pool, folder, extensions).Paths(kCheckSampleDocuments);
  } catch (const RunError&) {
    return sample;
  }
  for (const QString& path : sample.documents) {
    DocumentParse parse = ParseDocument(path);
    if (parse.sets)
      for (int i = 0; i < parse.sets->Count(); ++i) {
        const FilePropertySet& set = *parse.sets->Item(i);
        for (const FileProperty& p : set.Properties())
          if (const QString name = set.PropertyName(p); !name.isEmpty()) sample.names.insert(name.toLower(), name);
      }
    sample.parses.push_back(std::move(parse));
  }
  return sample;
}

std::vector<Finding> CheckDatabase(const QString& configPath, const DocumentSample& sample,
                                   const QStringList& fieldNames) {
  std::vector<Finding> findings;
  CollectingDialogs dialogs;
  HeadlessProgress quiet;  // the check shows no progress
  const auto failed = [&](const QString& prefix) {
    for (const QString& text : dialogs.texts)
      findings.push_back({0, Severity::Error, prefix + QString(text).replace(QLatin1String("\r\n"), QLatin1String(" "))});
  };
  std::unique_ptr<DatabaseConnection> db =
      ConnectDatabase(dialogs, quiet, QString::fromLatin1(ini::kOdbc), configPath);
  if (!db) {
    failed(QStringLiteral("Keine Verbindung zur Datenbank: "));
    return findings;
  }
  if (sample.documents.isEmpty()) return findings;
  const QString document = sample.documents.first();
  std::optional<RecordSet> record;
  try {
    record = FindDocumentRecord(dialogs, *db, document, LoadProfile(configPath));
  } catch (const RunError& e) {
    findings.push_back({0, Severity::Error, QStringLiteral("Die Abfrage für %1 schlägt fehl: %2").arg(document, e.description())});
    return findings;
  }
  failed(QStringLiteral("Die Abfrage ist unvollständig: "));
  if (!record) {
    if (dialogs.texts.isEmpty())
      findings.push_back({0, Severity::Warning, QStringLiteral("Kein Datenbankeintrag für %1 gefunden").arg(document)});
    return findings;
  }
  for (const QString& name : fieldNames) {
    const QString field = RecordFieldName(name);
    if (record->FieldIndex(field) < 0 && !IsSpecialName(field))
      findings.push_back({0, Severity::Warning,
                          QStringLiteral("Die Abfrage liefert kein Feld %1: die Spalte bleibt leer").arg(field)});
  }
  return findings;
}

}  // namespace tbx
