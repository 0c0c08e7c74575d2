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
#include <vector>

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

// Dates a few thousand apart, made before the clock runs: arithmetic on
// local date-times asks the time zone each time, which a run never does.
std::vector<QDateTime> MakeDates() {
  const QDateTime created(QDate(2026, 12, 5), QTime(18, 24, 3));
  std::vector<QDateTime> dates;
  for (int i = 0; i < kDistinctValues; ++i) dates.push_back(created.addSecs(qint64(i) * 3600));
  return dates;
}

rusage Usage() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage;
}

// Processor time (user and system) in milliseconds: on a shared machine the
// wall clock also counts the other processes' turns.
double CpuMs(const rusage& u) {
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Numbers with a decimal point, whatever the locale: compare.sh reads them.
QByteArray Fixed(double value, int decimals) { return QByteArray::number(value, 'f', decimals); }

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
  const std::vector<QDateTime> dates = MakeDates();
  const QStringList values = MakeValues();
  QRandomGenerator random(1031);
  QElapsedTimer timer;
  const double cpuStart = CpuMs(Usage());
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
        cell->SetDateTime(dates[size_t(pick)]);
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
  const rusage end = Usage();
  const double cpuMs = CpuMs(end) - cpuStart;
  std::printf("%s: %d rows x %d columns%s: fill %lld ms, save %lld ms, total %lld ms, %s us per row, "
              "cpu %s us per row, peak memory %s MB\n",
              qPrintable(out), rows, kColumns, typed ? " (2 typed)" : "", static_cast<long long>(fillMs),
              static_cast<long long>(saveMs), static_cast<long long>(totalMs),
              Fixed(totalMs * 1000.0 / rows, 2).constData(), Fixed(cpuMs * 1000.0 / rows, 2).constData(),
              Fixed(end.ru_maxrss / 1024.0, 1).constData());
  return 0;
}
