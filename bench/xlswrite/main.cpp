// Writes a full workbook the way a run does (65,000 rows of 12 text columns,
// values of 5 to 40 characters, many repeated) and reports the time and the
// peak memory. Usage: bench_xlswrite [OUTPUT.xls]
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>

#include "xls/Spreadsheet.h"

namespace {

constexpr int kRows = 65000;
constexpr int kColumns = 12;
constexpr int kDistinctValues = 5000;

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
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::temp().filePath("bench_xlswrite.xls");
  const QStringList values = MakeValues();
  QRandomGenerator random(1031);
  QElapsedTimer timer;
  timer.start();
  auto application = tbx::CreateApplication();
  tbx::Workbook* book = application->AddWorkbook();
  tbx::Worksheet* sheet = book->ActiveWorksheet();
  sheet->SetFirstRowBold();
  for (int c = 1; c <= kColumns; ++c) sheet->Cells(1, c)->SetValue(QString("Spalte %1").arg(c));
  for (int r = 2; r <= kRows + 1; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      auto cell = sheet->Cells(r, c);
      cell->SetNumberFormat("@");
      // Skewed towards the first values: columns repeat a lot.
      const auto pick = random.bounded(kDistinctValues) * random.bounded(kDistinctValues) / kDistinctValues;
      cell->SetValue(values.at(static_cast<qsizetype>(pick)));
    }
  }
  const qint64 fillMs = timer.restart();
  book->SaveAs(out);
  const qint64 saveMs = timer.elapsed();
  std::printf("rows %d x columns %d: fill %lld ms, save %lld ms, total %lld ms, peak memory %.1f MB, file %s\n",
              kRows, kColumns, static_cast<long long>(fillMs), static_cast<long long>(saveMs),
              static_cast<long long>(fillMs + saveMs), PeakKilobytes() / 1024.0, qPrintable(out));
  return 0;
}
