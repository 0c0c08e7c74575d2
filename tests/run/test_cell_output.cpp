#include <gtest/gtest.h>

#include <cmath>

#include "TestSupport.h"
#include "common/CellValue.h"
#include "run/CellOutput.h"

using namespace tbx;

namespace {

// A cell that writes down what the row asks of it.
class RecordingRange : public Range {
 public:
  QStringList calls;
  void SetNumberFormat(const QString& format) override { calls << format; }
  void SetValue(const QString& text) override { calls << "text " + text; }
  void SetNumber(double value) override { calls << "number " + QString::number(value, 'g', 15); }
  void SetDateTime(const QDateTime& value) override {
    calls << "date " + value.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
  }
  void Select() override {}
};

}  // namespace

TEST(CellOutput, NumbersAndDatesBecomeTypedCellsOnlyWhenAskedAndUnchanged) {
  const test::PinnedLocaleAndClock german;
  const QDateTime checked(QDate(2026, 12, 5), QTime(18, 24, 3));
  struct Case {
    QVariant value;
    const char* mapping;  // the [MapProperties] value
    bool typed;
    const char* calls;
  };
  const Case cases[] = {
      {qint64(217), "Menge", false, "@|text 217"},  // the default: text as always
      {qint64(217), "Menge", true, "number 217"},
      {qint64(217), "Menge#L3", true, "number 217"},  // the limit cuts nothing
      {qint64(217), "Menge#L2", true, "@|text 21"},   // a cut number is no number
      {qint64(217), "Menge#Q", true, "@|text \"217\""},
      {qint64(999999999999999), "Menge", true, "number 999999999999999"},
      {qint64(1000000000000000), "Menge", true, "@|text 1000000000000000"},  // more digits than a cell shows
      {1.1f, "Dichte", true, "number 1.1"},  // as its seven digits show it
      {7.85, "Dichte", true, "number 7.85"},
      {std::nan(""), "Dichte", true, "@|text NAN"},
      {checked, "Geprüft", true, "date 05.12.2026 18:24:03"},
      {checked, "Geprüft#L10", true, "@|text 05.12.2026"},
      {QDate(2026, 12, 5), "Stand", true, "date 05.12.2026 00:00:00"},
      // The editing time is kept as a date in 1601, which no spreadsheet shows.
      {QDateTime(QDate(1601, 1, 1), QTime(1, 0)), "Bearbeitungszeit", true, "@|text 01.01.1601 01:00:00"},
      {true, "Freigabe", true, "@|text Wahr"},
      {QString("0042"), "Nummer", true, "@|text 0042"},  // a text stays text, however it looks
      {QTime(1, 2, 3), "Uhrzeit", true, "@|text 01:02:03"},
      {QVariant(), "Menge#L5", true, "@"},  // nothing to write, as always
      {checked, "Erstelldatum", true, "date 05.12.2026 18:24:03"},
      {checked, "Erstelldatum#L2", false, "@|text 05.12.2026 18:24:03"},  // never cut
  };
  for (const Case& c : cases) {
    const MappedColumn column = ParseMappedColumn("C", QString::fromUtf8(c.mapping));
    const CellValue value = CellValueOf(c.value);
    RecordingRange cell;
    if (column.Special)
      PutSpecialValue(cell, value, c.typed);
    else
      PutColumnValue(cell, column, value, c.typed);
    EXPECT_EQ(cell.calls.join(u'|'), QString::fromUtf8(c.calls)) << c.mapping << " " << value.text.toStdString();
  }
}
