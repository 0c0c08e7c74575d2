// Workbooks written through the spreadsheet layer, read back by xlrd and
// olefile (tests/xls/xls_dump.py).
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "XlsReadBack.h"
#include "common/RunError.h"
#include "xls/Spreadsheet.h"

using namespace tbx;

namespace {

constexpr int kTextCell = 1;   // xlrd cell types
constexpr int kBlankCell = 6;

class XlsReadBackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = CreateApplication();
    ASSERT_TRUE(app);
    book = app->AddWorkbook();
    sheet = book->ActiveWorksheet();
    ASSERT_NE(sheet, nullptr);
  }
  QString Save(const QString& name) {
    const QString path = dir.filePath(name);
    book->SaveAs(path);
    return path;
  }
  QTemporaryDir dir;
  std::unique_ptr<Application> app;
  Workbook* book = nullptr;
  Worksheet* sheet = nullptr;
};

}  // namespace

TEST_F(XlsReadBackTest, ValuesFormatsBoldRowAndYellowFillSurviveTheRoundTrip) {
  const QString umlauts = QString::fromUtf8("Gehäuse Größe ÄÖÜß");
  const QString wide = QString::fromUtf8("Ж€→ 😀 中文");
  const QString longest(32767, QChar(u'ä'));
  sheet->SetFirstRowBold();
  sheet->Cells(1, 1)->SetValue("Pfad");
  sheet->Cells(1, 2)->SetValue("Dateiname");
  sheet->Cells(1, 3)->SetValue("Nummer#Q");
  sheet->Cells(2, 1)->SetValue(umlauts);
  sheet->Cells(2, 2)->SetValue(wide);
  auto c2 = sheet->GetRange("C2");
  c2->SetNumberFormat("@");
  c2->SetValue("\"4711\"");
  sheet->GetRange("D2")->SetNumberFormat("@");  // a format without a value
  auto e2 = sheet->GetRange("e2");
  e2->SetNumberFormat("@");
  e2->SetValue("12345");
  e2->Select();
  app->SetSelectionInteriorColorIndex(6);
  app->SetSelectionInteriorPattern(1);
  sheet->GetRange("C1")->Select();  // bold, yellow and a value on one cell
  app->SetSelectionInteriorColorIndex(6);
  sheet->Cells(3, 1)->SetValue(longest);
  sheet->Cells(4, 1)->SetValue(QString(40000, 'x'));
  sheet->GetRange("IV65536")->SetValue("Ende");

  const test::ReadBack r = test::Read(Save("Liste.xls"));
  EXPECT_EQ(r.sheet["name"].toString(), "Tabelle1");
  EXPECT_EQ(r.sheet["nrows"].toInt(), 65536);
  EXPECT_EQ(r.sheet["ncols"].toInt(), 256);
  EXPECT_TRUE(r.sheet["row0_bold"].toBool());
  struct Expect {
    int row, col;
    QString value;
    int type;
    const char* format;
    bool bold;
    bool yellow;
  };
  const Expect expected[] = {
      {1, 1, "Pfad", kTextCell, "General", true, false},
      {1, 2, "Dateiname", kTextCell, "General", true, false},
      {1, 3, "Nummer#Q", kTextCell, "General", true, true},
      {2, 1, umlauts, kTextCell, "General", false, false},
      {2, 2, wide, kTextCell, "General", false, false},
      {2, 3, "\"4711\"", kTextCell, "@", false, false},
      {2, 4, "", kBlankCell, "@", false, false},
      {2, 5, "12345", kTextCell, "@", false, true},
      {3, 1, longest, kTextCell, "General", false, false},
      {4, 1, QString(32767, 'x'), kTextCell, "General", false, false},
      {65536, 256, "Ende", kTextCell, "General", false, false},
  };
  for (const Expect& e : expected) {
    const QJsonObject& c = r.Cell(e.row, e.col);
    SCOPED_TRACE(testing::Message() << "row " << e.row << " col " << e.col);
    ASSERT_FALSE(c.isEmpty());
    EXPECT_EQ(c["value"].toString(), e.value);
    EXPECT_EQ(c["type"].toInt(), e.type);
    EXPECT_EQ(c["format"].toString(), e.format);
    EXPECT_EQ(c["bold"].toBool(), e.bold);
    EXPECT_EQ(c["pattern"].toInt(), e.yellow ? 1 : 0);
    const QJsonArray rgb = e.yellow ? QJsonArray{255, 255, 0} : QJsonArray();
    EXPECT_EQ(c["rgb"].toArray(), rgb);
  }
  EXPECT_EQ(r.cells.size(), std::size(expected));
}

TEST_F(XlsReadBackTest, SixtyFiveThousandAndOneRows) {
  sheet->SetFirstRowBold();
  sheet->Cells(1, 1)->SetValue("Pfad");
  for (int row = 2; row <= 65001; ++row) {
    sheet->Cells(row, 1)->SetValue(QString("/daten/teil%1/").arg(row % 97));
    sheet->Cells(row, 2)->SetValue(QString("Dokument %1.par").arg(row));
  }
  const test::ReadBack r = test::Read(Save("Gross.xls"));
  EXPECT_EQ(r.sheet["nrows"].toInt(), 65001);
  EXPECT_EQ(r.cells.size(), 1u + 2u * 65000u);
  EXPECT_EQ(r.Cell(65001, 2)["value"].toString(), "Dokument 65001.par");
  EXPECT_EQ(r.Cell(30000, 1)["value"].toString(), QString("/daten/teil%1/").arg(30000 % 97));
}

TEST_F(XlsReadBackTest, EmptyWorkbook) {
  const test::ReadBack r = test::Read(Save("Leer.xls"));
  EXPECT_EQ(r.sheet["name"].toString(), "Tabelle1");
  EXPECT_EQ(r.sheet["nrows"].toInt(), 0);
}

TEST_F(XlsReadBackTest, AddedWorksheetGoesBeforeTheActiveOne) {
  Worksheet* added = book->AddWorksheet();
  EXPECT_EQ(book->ActiveWorksheet(), added);
  added->Cells(1, 1)->SetValue("neu");
  const test::ReadBack r = test::Read(Save("Zwei.xls"));
  const QJsonArray sheets = r.all["sheets"].toArray();
  ASSERT_EQ(sheets.size(), 2);
  EXPECT_EQ(sheets[0].toObject()["name"].toString(), "Tabelle2");
  EXPECT_EQ(sheets[1].toObject()["name"].toString(), "Tabelle1");
  EXPECT_EQ(r.Cell(1, 1)["value"].toString(), "neu");
}
