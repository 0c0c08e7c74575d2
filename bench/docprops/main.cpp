// tbx-bench-docprops [--documents N] [--seconds S] [--samplegen PATH]
//
// Measures ReadDocumentProperty on one core: N generated documents (default
// 200, written by tbx-samplegen into a temporary folder and read once so they
// sit in the page cache), then reads in a loop for S seconds (default 5), each
// read opening, searching and releasing its document. The names mix the cases
// the run meets: a name the library knows (Title), a German alias found by
// identifier (autor), a project alias (Dokumentnummer), a user-defined name in
// the last set (Prüfer) and a name no set holds. Prints reads per second per
// case and overall, per second of wall time and per second of the thread's
// CPU time (user and system): on a shared machine the second is what one core
// achieves.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "docprops/DocumentReader.h"

namespace {

QString Option(const QStringList& args, const QString& name, const QString& fallback) {
  const qsizetype at = args.indexOf(name);
  return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

QStringList Documents(const QString& root) {
  QStringList found;
  QStringList folders{root};
  while (!folders.isEmpty()) {
    const QDir dir(folders.takeLast());
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
      if (f.isDir())
        folders << f.filePath();
      else if (QStringList{"par", "psm", "asm", "dft"}.contains(f.suffix().toLower()))
        found << f.filePath();
    }
  }
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  const int count = Option(args, "--documents", "200").toInt();
  const double seconds = Option(args, "--seconds", "5").toDouble();
  const QString samplegen = Option(args, "--samplegen", app.applicationDirPath() + "/../tools/tbx-samplegen");
  QTemporaryDir dir;
  if (QProcess::execute(samplegen, {"tree", dir.path(), "--count", QString::number(count), "--seed", "2026"}) != 0) {
    std::fprintf(stderr, "%s konnte keine Dokumente schreiben\n", qPrintable(samplegen));
    return 1;
  }
  const QStringList documents = Documents(dir.path());
  tbx::RunLog log;  // off: the reads alone are measured
  for (const QString& d : documents) tbx::ReadDocumentProperty(log, d, "Title");  // into the page cache
  const char* const names[] = {"Title", "autor", "Dokumentnummer", "Prüfer", "Gibt es nicht"};
  qint64 total = 0;
  double totalSeconds = 0, totalCpu = 0;
  for (const char* name : names) {
    const QString property = QString::fromUtf8(name);
    qint64 reads = 0;
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = ThreadCpuSeconds();
    while (timer.nsecsElapsed() < qint64(seconds * 1e9 / std::size(names))) {
      for (int i = 0; i < 100; ++i) tbx::ReadDocumentProperty(log, documents[int(reads++ % documents.size())], property);
    }
    const double elapsed = double(timer.nsecsElapsed()) / 1e9;
    const double cpu = ThreadCpuSeconds() - cpuStart;
    std::printf("%-16s %9.0f Lesevorgänge/s, %9.0f je CPU-Sekunde\n", name, double(reads) / elapsed,
                double(reads) / cpu);
    total += reads;
    totalSeconds += elapsed;
    totalCpu += cpu;
  }
  std::printf(
      "%lld Dokumente, gesamt %.0f Lesevorgänge/s, %.0f je CPU-Sekunde (je Lesevorgang öffnen, suchen, freigeben)\n",
      static_cast<long long>(documents.size()), double(total) / totalSeconds, double(total) / totalCpu);
  return 0;
}
