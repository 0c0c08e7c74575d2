#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/DesktopViewer.h"
#include "common/RunError.h"
#include "xls/CellReference.h"
#include "xls/Spreadsheet.h"

using namespace tbx;

namespace {

template <typename F>
RunError ErrorOf(F call) {
  try {
    call();
  } catch (const RunError& e) {
    return e;
  }
  return RunError(0, "kein Fehler");
}

}  // namespace

TEST(CellReference, AcceptsColumnsAToIvAndRowsUpTo65536Only) {
  struct Good { const char* text; int row, column; };
  const Good good[] = {{"A1", 1, 1}, {"c17", 17, 3}, {"AA10", 10, 27}, {"IV65536", 65536, 256}, {"Iv2", 2, 256}};
  for (const Good& g : good) {
    const auto a = ParseA1Reference(g.text);
    ASSERT_TRUE(a) << g.text;
    EXPECT_EQ(a->row, g.row) << g.text;
    EXPECT_EQ(a->column, g.column) << g.text;
  }
  for (const char* bad : {"1A7", "IW3", "C0", "C65537", "", "C", "17", "$C$17", " C1", "C1 ", "A01",
                          "AAA1", "C-1", "C1:D2", "Ä1", "C99999999999"}) {
    EXPECT_FALSE(ParseA1Reference(QString::fromUtf8(bad))) << bad;
  }
}

TEST(Spreadsheet, BadReferencesAndIndexesAreWorkbookErrors) {
  EXPECT_EQ(GetRunningApplication(), nullptr);
  auto app = CreateApplication();
  Worksheet* sheet = app->AddWorkbook()->ActiveWorksheet();
  const RunError e = ErrorOf([&] { sheet->GetRange("1A7"); });
  EXPECT_EQ(e.number(), kErrWorkbook);
  EXPECT_EQ(e.description(),
            QString::fromUtf8("Ungültiger Zellbezug \"1A7\": erwartet werden Spaltenbuchstaben von A bis IV "
                              "und eine Zeilennummer von 1 bis 65536."));
  const RunError outside = ErrorOf([&] { sheet->Cells(65537, 1); });
  EXPECT_EQ(outside.number(), kErrWorkbook);
  EXPECT_EQ(outside.description(),
            QString::fromUtf8("Die Zelle in Zeile 65537, Spalte 1 liegt außerhalb des Tabellenblatts "
                              "(Zeilen 1 bis 65536, Spalten 1 bis 256)."));
  EXPECT_EQ(ErrorOf([&] { sheet->Cells(0, 1); }).number(), kErrWorkbook);
  EXPECT_EQ(ErrorOf([&] { sheet->Cells(1, 257); }).number(), kErrWorkbook);
  EXPECT_EQ(ErrorOf([&] { sheet->GetRange("A1")->SetNumberFormat("0.00"); }).number(), kErrWorkbook);
}

TEST(Spreadsheet, InteriorNeedsASelectionThatOutlivesNoWorkbook) {
  auto app = CreateApplication();
  Workbook* book = app->AddWorkbook();
  EXPECT_EQ(ErrorOf([&] { app->SetSelectionInteriorColorIndex(6); }).description(),
            QString::fromUtf8("Es ist keine Zelle ausgewählt."));
  book->ActiveWorksheet()->GetRange("B2")->Select();
  EXPECT_EQ(ErrorOf([&] { app->SetSelectionInteriorColorIndex(57); }).number(), kErrWorkbook);
  EXPECT_EQ(ErrorOf([&] { app->SetSelectionInteriorPattern(9); }).number(), kErrWorkbook);
  app->SetSelectionInteriorColorIndex(6);
  Worksheet* sheet = book->ActiveWorksheet();
  book->Close();
  EXPECT_EQ(ErrorOf([&] { app->SetSelectionInteriorPattern(1); }).number(), kErrWorkbook);
  EXPECT_EQ(ErrorOf([&] { sheet->Cells(1, 1); }).description(),
            QString::fromUtf8("Die Arbeitsmappe ist bereits geschlossen."));
  EXPECT_EQ(ErrorOf([&] { book->SaveAs("/tmp/x.xls"); }).number(), kErrWorkbook);
}

TEST(Spreadsheet, VisibleOpensTheLastSavedWorkbook) {
  QTemporaryDir dir;
  QStringList opened;
  bool openerWorks = true;
  SetDocumentOpenerForTests([&](const QString& path) {
    opened << path;
    return openerWorks;
  });
  auto app = CreateApplication();
  app->SetVisible(true);  // nothing saved yet: nothing to open
  EXPECT_TRUE(opened.isEmpty());
  app->AddWorkbook()->SaveAs(dir.filePath("a.xls"));
  app->AddWorkbook()->SaveAs(dir.filePath("b.xls"));
  app->SetVisible(true);
  EXPECT_EQ(opened, QStringList{dir.filePath("b.xls")});
  openerWorks = false;
  EXPECT_EQ(ErrorOf([&] { app->SetVisible(true); }).number(), kErrWorkbook);
  app->Quit();
  EXPECT_EQ(ErrorOf([&] { app->AddWorkbook(); }).number(), kErrWorkbook);
  SetDocumentOpenerForTests({});
}
