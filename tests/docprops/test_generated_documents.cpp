#include <gtest/gtest.h>

#include <QJsonArray>
#include <QTemporaryDir>

#include "SampleTool.h"
#include "common/RunLog.h"
#include "common/TextForm.h"
#include "docprops/DocumentParse.h"
#include "docprops/DocumentReader.h"
#include "docprops/modDocProps.h"
#include "common/ProgramInfo.h"
#include "propset/FilePropertySets.h"

using namespace tbx;
using namespace tbx::test;

namespace {

// One tree of generated documents for the whole suite.
class GeneratedDocuments : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir();
    ASSERT_TRUE(RunSampleGen({"tree", dir_->path() + "/baum", "--count", "60", "--seed", "4711", "--manifest",
                              dir_->path() + "/manifest.json"}));
    manifest_ = new QJsonObject(ReadJson(dir_->path() + "/manifest.json"));
  }
  static void TearDownTestSuite() {
    delete manifest_;
    delete dir_;
  }
  static QString PathOf(const QJsonObject& file) { return dir_->path() + "/baum/" + file["path"].toString(); }
  static std::vector<QJsonObject> Files(const char* role) {
    std::vector<QJsonObject> files;
    for (const QJsonValue& v : (*manifest_)["files"].toArray())
      if (v.toObject()["role"].toString() == QLatin1String(role)) files.push_back(v.toObject());
    return files;
  }

  PinnedLocaleAndClock pinned_;
  RunLog log_;
  static QTemporaryDir* dir_;
  static QJsonObject* manifest_;
};

QTemporaryDir* GeneratedDocuments::dir_ = nullptr;
QJsonObject* GeneratedDocuments::manifest_ = nullptr;

// The manifest text of the first set (in listing order) holding a property of that name.
QString ExpectedByName(const QJsonObject& file, const QString& name) {
  for (const QJsonValue& set : file["sets"].toArray())
    for (const QJsonValue& p : set.toObject()["properties"].toArray())
      if (p.toObject()["name"].toString().compare(name, Qt::CaseInsensitive) == 0)
        return p.toObject()["text_de"].toString();
  return QStringLiteral("<fehlt>");
}

}  // namespace

TEST_F(GeneratedDocuments, EverySetNameIdentifierAndValue) {
  const auto documents = Files("document");
  ASSERT_GT(documents.size(), 40u);
  for (const QJsonObject& file : documents) {
    SCOPED_TRACE(file["path"].toString().toStdString());
    const DocumentParse parse = ParseDocument(PathOf(file));
    ASSERT_EQ(parse.status, ReadStatus::ok);
    const FilePropertySets& sets = *parse.sets;
    const QJsonArray expectedSets = file["sets"].toArray();
    ASSERT_EQ(sets.Count(), expectedSets.size());
    for (int i = 0; i < sets.Count(); ++i) {
      const QJsonObject expected = expectedSets[i].toObject();
      const FilePropertySet& set = *sets.Item(i);
      EXPECT_EQ(set.Name(), expected["name"].toString());
      EXPECT_EQ(set.FormatId().toString(QUuid::WithoutBraces).toUpper(), expected["formatId"].toString());
      const QJsonArray properties = expected["properties"].toArray();
      ASSERT_EQ(set.Properties().size(), size_t(properties.size())) << qPrintable(set.Name());
      for (int k = 0; k < properties.size(); ++k) {
        const QJsonObject p = properties[k].toObject();
        const FileProperty& actual = set.Properties()[size_t(k)];
        EXPECT_EQ(actual.id, p["id"].toInt());
        EXPECT_EQ(set.PropertyName(actual), p["name"].toString());
        EXPECT_EQ(actual.type, p["type"].toInt());
        EXPECT_EQ(ValueText(actual.Value()).value_or(QString()), p["text_de"].toString())
            << qPrintable(set.Name()) << " " << actual.id;
      }
    }
  }
}

TEST_F(GeneratedDocuments, ReaderResolvesAliasesAndTakesTheFirstSet) {
  for (const QJsonObject& file : Files("document")) {
    SCOPED_TRACE(file["path"].toString().toStdString());
    const QString path = PathOf(file);
    const QString author = ExpectedByName(file, "Author");  // the summary's, not the user-defined shadow
    EXPECT_EQ(ReadDocumentProperty(log_, path, "autor"), author);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "AUTHOR"), author);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Author"), author);
    EXPECT_NE(author, "Schatten-Autor");
    const QString number = ExpectedByName(file, "Document Number");
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Dokumentnummer"), number);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Document Number"), number);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "docnum"), number);
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Prüfer"), ExpectedByName(file, "Prüfer"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "PRÜFER"), ExpectedByName(file, "Prüfer"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Stichwörter"), ExpectedByName(file, "Keywords"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Firma"), ExpectedByName(file, "Company"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Freigegeben"), ExpectedByName(file, "Freigegeben"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Dichte"), ExpectedByName(file, "Dichte"));
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Leer"), "");
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Ohne Wert"), "");
    EXPECT_EQ(ReadDocumentProperty(log_, path, "Gibt es nicht"), "");
  }
}

TEST_F(GeneratedDocuments, DamagedDocumentsGiveTheErrorTextAndOneLogLinePerRead) {
  QTemporaryDir logDir;
  SetProgramFolder(logDir.path());
  log_.SetLogEnabled(true);
  const auto damaged = Files("damaged");
  ASSERT_FALSE(damaged.empty());
  for (const QJsonObject& file : damaged) {
    SCOPED_TRACE(file["damage"].toString().toStdString());
    EXPECT_EQ(ReadDocumentProperty(log_, PathOf(file), "Autor"), "FEHLER beim Lesen von Autor");
    EXPECT_EQ(ReadDocumentProperty(log_, PathOf(file), "Titel"), "FEHLER beim Lesen von Titel");
  }
  log_.SetLogEnabled(false);
  const QStringList lines = QString::fromLocal8Bit(ReadFileBytes(log_.LogFilePath())).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), qsizetype(2 * damaged.size()));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString prefix =
        "05.12.2026 18:24:03 - FEHLER beim Lesen der Propertysets von " + PathOf(damaged[i / 2]) + ": ";
    EXPECT_TRUE(lines[i].startsWith(prefix)) << qPrintable(lines[i]);
    EXPECT_GT(lines[i].size(), prefix.size()) << "a description says what is wrong";
  }
}
