#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "../docprops/SampleTool.h"
#include "../xls/XlsReadBack.h"
#include "RunLogCapture.h"
#include "common/PathHelpers.h"
#include "run/DocumentLoop.h"
#include "run/RowChecks.h"
#include "run/RunDriver.h"

using namespace tbx;

namespace {

constexpr int kLpstr = 30;

// A document whose summary set holds a title and an author ("" leaves one out).
QString Document(const QString& dir, const QString& name, const QString& title, const QString& author) {
  QJsonArray properties;
  if (!title.isEmpty()) properties.append(test::Prop(2, kLpstr, title));
  if (!author.isEmpty()) properties.append(test::Prop(4, kLpstr, author));
  return test::BuildDocument(dir, name, {test::Stream("SummaryInformation", {test::Section(test::kSummaryId, properties)})});
}

// Documents built once for the whole file: building them runs the sample generator.
class Documents : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new QTemporaryDir;
    const QString d = dir_->path();
    lager_ = Document(d, "lager.par", "Hauptlager Nord", "Anna");
    werk_ = Document(d, "werk.par", "Werkstatt", "");
    leer_ = Document(d, "leer.par", "", "Bea");
    gehaeuse_ = Document(d, "gehaeuse.par", QString::fromUtf8("GEHÄUSE"), "");
    fehlerfrei_ = Document(d, "fehlerfrei.par", "FEHLERFREI", "");
    kaputt_ = d + "/kaputt.par";
    test::WriteTextFile(kaputt_, QByteArray("kein Verbunddokument").repeated(30));
  }
  static void TearDownTestSuite() { delete dir_; }

  static QTemporaryDir* dir_;
  static QString lager_, werk_, leer_, gehaeuse_, fehlerfrei_, kaputt_;
  test::RunLogCapture log_;
};

QTemporaryDir* Documents::dir_ = nullptr;
QString Documents::lager_, Documents::werk_, Documents::leer_, Documents::gehaeuse_, Documents::fehlerfrei_,
    Documents::kaputt_;

}  // namespace

TEST(ProgressPercent, RoundsHalvesToTheEvenNeighbour) {
  struct Case {
    qint64 i, n;
    int percent;
  };
  const Case cases[] = {
      {1, 200, 0},  {3, 200, 2},  {5, 200, 2},   {7, 200, 4},    {1, 8, 12},  {3, 8, 38},
      {5, 8, 62},   {7, 8, 88},   {1, 3, 33},    {2, 3, 67},     {1, 6, 17},  {8, 8, 100},
      {1, 1, 100},  {0, 0, 0},    // no documents: no division
      {(qint64(1) << 40) - 1, qint64(1) << 40, 100},  // large counts do not overflow
  };
  for (const Case& c : cases) EXPECT_EQ(ProgressPercent(c.i, c.n), c.percent) << c.i << "/" << c.n;
}

TEST_F(Documents, CriteriaSelectByContainmentEmptinessAndReadErrors) {
  struct Case {
    QByteArray criteria;  // [Criteria] lines, in order
    QString document;
    bool selected;
  };
  const Case cases[] = {
      {"Titel=Lager", lager_, true},      // occurs, letter case ignored
      {"Titel=Lager", werk_, false},
      {"Titel=Lager", leer_, true},       // an empty property changes nothing
      {"Titel=Lager", kaputt_, true},     // an unreadable document is kept
      {"Titel=Lager", fehlerfrei_, false},  // a value that begins with FEHLER is a value
      {"Titel=empty", lager_, false},
      {"Titel=empty", leer_, true},
      {"Titel=empty", kaputt_, true},
      {"Titel=häuse", gehaeuse_, true},   // case-insensitive beyond ASCII
      {"Titel=Werk\nAutor=Anna", lager_, false},  // a later match does not undo an earlier rejection
      {"Autor=Anna\nTitel=Werk", lager_, false},
      {"Titel=Haupt\nAutor=Anna", lager_, true},
      {"Titel=Werk\nAutor=Anna", werk_, true},    // no author: the second criterion changes nothing
      {"Titel=Werkstatt\nAutor=Bea", kaputt_, true},
      {"Titel=", werk_, true},             // an empty wanted text occurs in every value
  };
  const QString config = log_.Folder() + "/ZireVuz.ini";
  for (const Case& c : cases) {
    test::WriteTextFile(config, "[Criteria]\n" + c.criteria + "\n");
    ColumnMapping mapping;
    for (const QByteArray& line : c.criteria.split('\n')) mapping.criteria << QString::fromUtf8(line.left(line.indexOf('=')));
    EXPECT_EQ(DocumentSelected(log_.Log(), c.document, mapping, config), c.selected)
        << c.criteria.toStdString() << " " << c.document.toStdString();
  }
}

namespace {

// The loop with the real spreadsheet, a title column and the criterion Titel=Lager.
class Loop : public Documents {
 protected:
  void SetUp() override { Prepare(); }
  // A fresh run and mapping; the folder holds only the configuration.
  void Prepare() {
    QDir(log_.Folder()).removeRecursively();
    QDir().mkpath(log_.Folder());
    config_ = log_.Folder() + "/ZireVuz.ini";
    test::WriteTextFile(config_, "[Criteria]\nTitel=Lager\n");
    run_ = std::make_unique<RunState>();
    run_->log.SetLogEnabled(true);
    run_->configPath = config_;
    run_->workbook.targetPath = log_.Folder() + "/Liste.xls";
    mapping_.columns = {ParseMappedColumn("C", "Titel")};
    mapping_.criteria = {"Titel"};
  }
  void TearDown() override {
    if (run_->workbook.application) FinishWorkbookOutput(TheDialogs(), TheProgress(), run_->log, run_->workbook, run_->cancelled);
  }
  // Copies of the selected (k) and unselected (w) documents, named in list order.
  QStringList Copies(const QString& kinds) {
    QStringList paths;
    for (qsizetype i = 0; i < kinds.size(); ++i) {
      const QString path = log_.Folder() + QStringLiteral("/docs/%1_%2.par").arg(i + 1).arg(kinds[i]);
      QDir().mkpath(log_.Folder() + "/docs");
      EXPECT_TRUE(QFile::copy(kinds[i] == u'k' ? lager_ : werk_, path));
      paths << path;
    }
    return paths;
  }
  QStringList Processed() const { return log_.Messages().filter(QStringLiteral(": Bearbeite ")); }

  test::FakeDialogs dialogs_;
  test::FakeProgress progress_;
  QString config_;
  std::unique_ptr<RunState> run_;
  ColumnMapping mapping_;
  WorkerPool pool_{0};
};

}  // namespace

TEST_F(Loop, UnselectedDocumentsGiveTheirRowsToTheNextInEveryPart) {
  // Parts of three documents: k w k | w w w | k k. The middle part selects
  // nothing, so its row offset falls to minus the part size before the next
  // part sets it anew.
  for (const bool header : {true, false}) {
    SCOPED_TRACE(header ? "header" : "no header");
    Prepare();
    const QStringList docs = Copies("kwkwwwkk");
    mapping_.header = header;
    run_->maxRange = 3;
    run_->foundDocuments = test::Found(docs);
    ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), run_->log, run_->workbook, mapping_));
    ProcessDocuments(*run_, mapping_, pool_);
    FinishWorkbookOutput(TheDialogs(), TheProgress(), run_->log, run_->workbook, run_->cancelled);
    EXPECT_EQ(run_->stats.rowsWritten, 4);

    const int first = header ? 2 : 1;
    const std::vector<std::pair<QString, QStringList>> parts = {
        {"Liste_000.xls", {docs[0], docs[2]}}, {"Liste_001.xls", {}}, {"Liste_002.xls", {docs[6], docs[7]}}};
    for (const auto& [name, rows] : parts) {
      SCOPED_TRACE(name.toStdString());
      const test::ReadBack r = test::Read(log_.Folder() + "/" + name);
      EXPECT_EQ(r.sheet["nrows"].toInt(), first - 1 + rows.size());
      if (header) {
        EXPECT_EQ(r.Cell(1, 3)["value"].toString(), "Titel");
      }
      for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(r.Cell(first + i, 1)["value"].toString(), log_.Folder() + "/docs/");
        EXPECT_EQ(r.Cell(first + i, 2)["value"].toString(), PathPart(rows[i], FileNamePart));
        EXPECT_EQ(r.Cell(first + i, 3)["value"].toString(), "Hauptlager Nord");
      }
    }
  }
}

TEST_F(Loop, CancelAfterADocumentFinishesItAndStops) {
  run_->foundDocuments = test::Found(Copies("kkkkkk"));
  progress_.cancelAfterDocuments = 3;
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), run_->log, run_->workbook, mapping_));
  ProcessDocuments(*run_, mapping_, pool_);

  EXPECT_TRUE(run_->cancelled);
  const QStringList processed = Processed();
  ASSERT_EQ(processed.size(), 3);
  EXPECT_EQ(processed[2], "3: Bearbeite " + run_->foundDocuments.Path(2));
  EXPECT_EQ(run_->stats.rowsWritten, 3);
  // Caption and status line per document, the bar and its tooltip after it.
  EXPECT_EQ(progress_.captions, QStringList(3, log_.Folder() + "/docs/"));
  EXPECT_EQ(progress_.statuses, (QStringList{"1_k.par", "2_k.par", "3_k.par"}));
  EXPECT_EQ(progress_.percents, (std::vector<int>{17, 33, 50}));
  EXPECT_EQ(progress_.toolTips, (QStringList{"Fortschritt: 17%", "Fortschritt: 33%", "Fortschritt: 50%"}));

  SaveWorkbook(run_->log, run_->workbook);
  const test::ReadBack r = test::Read(run_->workbook.targetPath);
  EXPECT_EQ(r.sheet["nrows"].toInt(), 3);
  EXPECT_EQ(r.Cell(3, 2)["value"].toString(), "3_k.par");
  EXPECT_EQ(r.Cell(3, 3)["value"].toString(), "Hauptlager Nord");  // the last document is complete
}

TEST_F(Loop, ACancelledRunTakesTheCancelledFinish) {
  QDir().mkpath(log_.Folder() + "/docs");
  Copies("kkkkk");
  test::WriteTextFile(config_, "[Pfade]\nSourceDir=" + (log_.Folder() + "/docs").toUtf8() +
                                   "\nExcelFile=Liste.xls\n[MapProperties]\nC=Titel\n");
  progress_.cancelAfterDocuments = 2;
  RunSummary summary;
  EXPECT_EQ(RunBatch(config_, &summary), RunOutcome::Stopped);

  const QStringList messages = log_.Messages();
  EXPECT_EQ(Processed().size(), 2);
  EXPECT_TRUE(messages.contains("Bearbeitung abgebrochen. Excel-Datei speichern"));
  EXPECT_FALSE(messages.contains("Alle Dateien verarbeitet. Excel-Datei speichern"));
  EXPECT_EQ(messages.last(), "Programm wird beendet");
  // The closed window is not unloaded again; the question is still asked.
  EXPECT_EQ(progress_.unloaded, 0);
  ASSERT_FALSE(dialogs_.calls.empty());
  // The batch program prints its own summary: the question comes alone.
  EXPECT_EQ(dialogs_.calls.back().text, QString::fromUtf8("Möchten Sie die resultierende Excel-Datei jetzt ansehen?"));
  EXPECT_EQ(dialogs_.calls.back().title, "Arbeiten abgebrochen");
  EXPECT_EQ(summary.stats.rowsWritten, 2);
  const test::ReadBack r = test::Read(log_.Folder() + "/Liste.xls");
  EXPECT_EQ(r.sheet["nrows"].toInt(), 2);
}

TEST_F(Loop, PathWithoutSeparatorGivesAnEmptyFolder) {
  mapping_.columns = {ParseMappedColumn("C", "%dateityp")};
  mapping_.criteria.clear();
  run_->foundDocuments = test::Found(QStringList{"Teil.PAR"});
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), run_->log, run_->workbook, mapping_));
  ProcessDocuments(*run_, mapping_, pool_);
  SaveWorkbook(run_->log, run_->workbook);

  EXPECT_EQ(progress_.captions, QStringList{""});
  const test::ReadBack r = test::Read(run_->workbook.targetPath);
  EXPECT_EQ(r.Cell(1, 1)["value"].toString(), "");
  EXPECT_EQ(r.Cell(1, 2)["value"].toString(), "Teil.PAR");
  EXPECT_EQ(r.Cell(1, 3)["value"].toString(), "par");
}

// The configuration is looked at once per document: an edit during the run
// counts from the next document on, for format patterns and criteria alike.
TEST_F(Loop, ConfigurationEditedDuringTheRunCountsFromTheNextDocument) {
  struct EditingProgress : test::FakeProgress {
    std::function<void(qint64)> afterDocument;
    void DocumentProgress(qint64 done, qint64) override { afterDocument(done); }
  } progress;
  const QByteArray edits[] = {"[Criteria]\nTitel=Lager\n[Titel]\nFormat0=9\n", "[Criteria]\nTitel=Werk\n"};
  progress.afterDocument = [&](qint64 done) {
    if (done <= 2) test::WriteTextFile(config_, edits[done - 1]);
  };
  run_->progress = &progress;
  run_->foundDocuments = test::Found(Copies("kkk"));
  ASSERT_TRUE(StartWorkbookOutput(TheDialogs(), run_->log, run_->workbook, mapping_));
  ProcessDocuments(*run_, mapping_, pool_);
  EXPECT_EQ(run_->stats.rowsWritten, 2);  // the third no longer meets the criterion
  EXPECT_EQ(run_->stats.rowsMarked, 1);   // the second violates the pattern the first did not know
}
