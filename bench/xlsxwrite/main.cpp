// Writes one workbook the way a run does, with a bold, frozen and filtered
// header row, 10 text columns of 5 to 40 characters (many repeated, every
// 50th cell marked yellow), and reports the time per row and the peak
// memory. The output's extension picks the writer, so .xls and .xlsx are
// compared on the same rows; "typed" makes the last two columns a number
// and a date cell, as a run with Zelltypen=ja writes a stock count and a
// creation date:
//   bench_xlsxwrite ROWS OUTPUT.xls|OUTPUT.xlsx [typed]
// (.xls takes at most 65,535 rows below the header; the .xlsx writer takes
// 1,048,575.) compare.sh runs both writers side by side.
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

#include "xlsx/xlsx.h"

namespace {

constexpr int kColumns = 10;
constexpr int kDistinctValues = 5000;
constexpr int kMarkEvery = 50;
constexpr int kYellow = 6;

// Values as property columns hold them: a few thousand distinct texts of
// 5 to 40 characters, umlauts included.
QStringList MakeValues() {
  QRandomGenerator random(4711);
  const QString alphabet = QString::fromUtf8("abcdefghijklmnopqrstuvwxyzäöüß ABCDEFGHIJ0123456789-_");
  QStringList values;
  for (int i = 0; i < kDistinctValues; ++i) {
    QString v;
    const int length = 5 + static_cast<int>(random.bounded(36));
    for (int k = 0; k < length; ++k) v += alphabet.at(random.bounded(alphabet.size()));
    values << v;
  }
  return values;
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const bool typed = argc == 4 && QByteArray(argv[3]) == "typed";
  if (argc != 3 && !typed) {
    std::fprintf(stderr, "usage: bench_xlsxwrite ROWS OUTPUT.xls|OUTPUT.xlsx [typed]\n");
    return 2;
  }
  const int rows = QString::fromLocal8Bit(argv[1]).toInt();
  const QString out = QString::fromLocal8Bit(argv[2]);
  const QDateTime created(QDate(2026, 12, 5), QTime(18, 24, 3));
  const QStringList values = MakeValues();
  QRandomGenerator random(1031);
  QElapsedTimer timer;
  timer.start();
  auto application = tbx::CreateApplicationFor(out);
  tbx::Workbook* book = application->AddWorkbook();
  tbx::Worksheet* sheet = book->ActiveWorksheet();
  sheet->SetFirstRowBold();
  sheet->FreezeAndFilterFirstRow();
  for (int c = 1; c <= kColumns; ++c) sheet->Cells(1, c)->SetValue(QString("Spalte %1").arg(c));
  long cells = 0;
  for (int r = 2; r <= rows + 1; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      auto cell = sheet->Cells(r, c);
      // Skewed towards the first values: columns repeat a lot.
      const auto pick = random.bounded(kDistinctValues) * random.bounded(kDistinctValues) / kDistinctValues;
      if (typed && c == kColumns - 1) {
        cell->SetNumber(static_cast<double>(pick));
      } else if (typed && c == kColumns) {
        cell->SetDateTime(created.addSecs(static_cast<qint64>(pick) * 3600));
      } else {
        cell->SetNumberFormat("@");
        cell->SetValue(values.at(static_cast<qsizetype>(pick)));
      }
      if (++cells % kMarkEvery == 0) {
        cell->Select();
        application->SetSelectionInteriorColorIndex(kYellow);
        application->SetSelectionInteriorPattern(tbx::kPatternSolid);
      }
    }
  }
  const qint64 fillMs = timer.restart();
  book->SaveAs(out);
  const qint64 saveMs = timer.elapsed();
  book->Close();
  const qint64 totalMs = fillMs + saveMs;
  std::printf("%s: %d rows x %d columns%s: fill %lld ms, save %lld ms, total %lld ms, %.2f us per row, "
              "peak memory %.1f MB\n",
              qPrintable(out), rows, kColumns, typed ? " (2 typed)" : "", static_cast<long long>(fillMs),
              static_cast<long long>(saveMs),
              static_cast<long long>(totalMs), totalMs * 1000.0 / rows, PeakKilobytes() / 1024.0);
  return 0;
}
