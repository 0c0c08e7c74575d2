#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "SampleTool.h"
#include "common/RunLog.h"
#include "docprops/DocumentReader.h"
#include "docprops/modDocProps.h"
#include "common/ProgramInfo.h"

using namespace tbx;
using namespace tbx::test;

namespace {

constexpr int kLpstr = 30, kI4 = 3, kVectorLpstr = 0x101E;

QJsonObject Summary(QJsonArray properties) { return Stream("SummaryInformation", {Section(kSummaryId, properties)}); }
QJsonObject DocumentAndCustom(QJsonArray document, QJsonArray custom) {
  return Stream("DocumentSummaryInformation", {Section(kDocSummaryId, document), Section(kCustomId, custom, 65001)});
}

// Each test writes its documents into a fresh folder and reads the log that
// the reads wrote there.
class Precedence : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolder(dir_.path());
    log_.SetLogEnabled(true);
  }
  void TearDown() override { log_.SetLogEnabled(false); }
  QString Document(const QString& name, const QJsonArray& streams) {
    const QString path = BuildDocument(dir_.path(), name, streams);
    EXPECT_FALSE(path.isEmpty());
    return path;
  }
  QStringList LogLines() const {
    return QString::fromLocal8Bit(ReadFileBytes(log_.LogFilePath())).split('\n', Qt::SkipEmptyParts);
  }

  PinnedLocaleAndClock pinned_;
  RunLog log_;
  QTemporaryDir dir_;
};

}  // namespace

TEST_F(Precedence, TheSetWithTheLowerIndexWins) {
  // Streams written custom first: the listing order of the sets decides, not the directory.
  const QString path = Document(
      "teil.par",
      {
          DocumentAndCustom({}, {Prop(2, kLpstr, "aus Benutzer", "Author"), Prop(3, kLpstr, "nur Benutzer", "Prüfer"),
                                 Prop(4, kLpstr, "Benutzer-Titel", "Titel")}),
          Summary({Prop(4, kLpstr, "aus Zusammenfassung"), Prop(2, kLpstr, "Welle")}),
      });
  struct Case {
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {"Author", "aus Zusammenfassung"},                      // by name in the summary set
      {"autor", "aus Zusammenfassung"},                       // German alias through identifier 4
      {"AUTOR", "aus Zusammenfassung"},  {"Titel", "Welle"},  // alias in the summary set beats the user-defined name
      {"Prüfer", "nur Benutzer"},                             // only the user-defined set has it
      {"prüfer", "nur Benutzer"},        {"PRÜFER", "nur Benutzer"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadDocumentProperty(log_, path, QString::fromUtf8(c.name)), QString::fromUtf8(c.value)) << c.name;
  EXPECT_TRUE(LogLines().isEmpty());
}

TEST_F(Precedence, ByNameBeforeIdentifierWithinOneSet) {
  // A dictionary name "Titel" on identifier 9 is found by name before the
  // catalogue sends "Titel" to identifier 2.
  const QString path =
      Document("zeichnung.dft",
               {Summary({Prop(2, kLpstr, "Titel über Kennung"), Prop(9, kLpstr, "Titel über Namen", "Titel")})});
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Titel"), QString::fromUtf8("Titel über Namen"));
  EXPECT_EQ(ReadDocumentProperty(log_, path, "title"), QString::fromUtf8("Titel über Kennung"));
}

TEST_F(Precedence, AFoundPropertyEndsTheSearchEvenWithoutText) {
  const QString path = Document(
      "blech.psm", {
                       Summary({Prop(2, kLpstr, ""), Prop(5, kVectorLpstr, QJsonArray{"a", "b"}, "Liste")}),
                       DocumentAndCustom({}, {Prop(2, kLpstr, "später", "Title"), Prop(3, kLpstr, "später", "Liste")}),
                   });
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Title"), "") << "empty text in the summary";
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Liste"), "") << "a vector has no text form";
}

TEST_F(Precedence, AMissingStandardPropertyFallsThroughToLaterSets) {
  const QString path = Document(
      "baugruppe.asm", {
                           Summary({Prop(2, kLpstr, "Rahmen")}),
                           DocumentAndCustom({Prop(15, kLpstr, "Nordwerk KG")},
                                             {Prop(2, kLpstr, "aus Benutzer", "Author"), Prop(3, kI4, 42, "Menge")}),
                           Stream("Rfunnyd1AvtdbfkuIaamtae3Ie",
                                  {Section(kProjectId, {Prop(2, kLpstr, "ZN-1"), Prop(4, kLpstr, "Förderband")})}),
                       });
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Author"), "aus Benutzer");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "autor"), "") << "the alias is known only in the summary set";
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Firma"), "Nordwerk KG");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Company"), "Nordwerk KG");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Document Number"), "ZN-1");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Dokumentnummer"), "ZN-1");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "DocumentNumber"), "");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Projektname"), QString::fromUtf8("Förderband"));
  EXPECT_EQ(ReadDocumentProperty(log_, path, " Dokumentnummer"), "");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Menge"), "42");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Gibt es nicht"), "") << "unknown names match no identifier 0";
  EXPECT_EQ(ReadDocumentProperty(log_, path, ""), "");
  EXPECT_TRUE(LogLines().isEmpty()) << "a missing property is no error";
}

TEST_F(Precedence, TheFormatIdentifierNamesTheSet) {
  // Project information stored under the summary's stream name, and a set the
  // library does not know, named after its stream.
  const QString path =
      Document("fremd.par",
               {
                   Stream("SummaryInformation", {Section(kProjectId, {Prop(2, kLpstr, "ZN-7")})}),
                   Stream("Zeichnungsrahmen", {Section("1D3E0C57-2B4A-4E1F-9A51-337C028E61F0",
                                                       {Prop(2, kLpstr, "A3", "Blattformat"), Prop(3, kLpstr, "x")})}),
               });
  EXPECT_EQ(ReadDocumentProperty(log_, path, "dokumentnummer"), "ZN-7");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "title"), "");
  EXPECT_EQ(ReadDocumentProperty(log_, path, "Blattformat"), "A3");
}

TEST_F(Precedence, FilesWithoutPropertySetsAreErrorsForEveryRead) {
  const QString empty = Document("leer.par", {QJsonObject{{"name", "JSite"}, {"hex", "00010203"}}});
  const QString missing = dir_.path() + "/fehlt.par";
  const QString text = dir_.path() + "/notiz.par";
  ASSERT_TRUE(WriteTextFile(text, "kein Dokument"));
  EXPECT_EQ(ReadDocumentProperty(log_, empty, "Autor"), "FEHLER beim Lesen von Autor");
  EXPECT_EQ(ReadDocumentProperty(log_, missing, "Titel"), "FEHLER beim Lesen von Titel");
  EXPECT_EQ(ReadDocumentProperty(log_, text, "Titel"), "FEHLER beim Lesen von Titel");
  EXPECT_EQ(ReadDocumentProperty(log_, text, "Autor"), "FEHLER beim Lesen von Autor");
  EXPECT_EQ(ReadDocumentProperty(log_, dir_.path(), "Autor"), "FEHLER beim Lesen von Autor");
  const QString stamp = "05.12.2026 18:24:03 - FEHLER beim Lesen der Propertysets von ";
  EXPECT_EQ(LogLines(), QStringList({
                            stamp + empty + ": ",  // opens, but holds no set: nothing after the ": "
                            stamp + missing + ": Die Datei existiert nicht",
                            stamp + text + ": Die Datei ist keine Verbunddatei",
                            stamp + text + ": Die Datei ist keine Verbunddatei",
                            stamp + dir_.path() + ": Der Pfad bezeichnet einen Ordner, keine Datei",
                        }));
}
