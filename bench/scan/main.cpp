// Times CollectFiles against find(1) on the same tree. The scan runs with the
// desktop program's progress window installed (offscreen), so its status
// updates and event processing are part of the figure.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "common/DirectoryScan.h"
#include "common/WorkerPool.h"
#include "ui/QtProgressView.h"

namespace {

constexpr int kTopFolders = 40;
constexpr int kSubFolders = 50;      // 40 x 50 = 2,000 folders holding files
constexpr int kFilesPerFolder = 50;  // 100,000 files
constexpr int kRounds = 5;

bool BuildTree(const QString& root) {
  const char* extensions[] = {"par", "psm", "asm", "dft", "txt"};
  for (int t = 0; t < kTopFolders; ++t) {
    for (int s = 0; s < kSubFolders; ++s) {
      const QString folder = QStringLiteral("%1/Baugruppe_%2/Teil_%3").arg(root).arg(t, 2, 10, QLatin1Char('0')).arg(s);
      if (!QDir().mkpath(folder)) return false;
      for (int f = 0; f < kFilesPerFolder; ++f) {
        QFile file(QStringLiteral("%1/Dokument_%2.%3").arg(folder).arg(f).arg(QLatin1String(extensions[f % 5])));
        if (!file.open(QIODevice::WriteOnly)) return false;
      }
    }
  }
  return true;
}

double BestOf(const std::function<void()>& run) {
  run();  // warms the page cache and the dentry cache
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) {
    QElapsedTimer timer;
    timer.start();
    run();
    times.push_back(timer.nsecsElapsed() / 1e6);
  }
  return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir temp;
  const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path() + QStringLiteral("/baum");
  if (!QDir(root).exists()) {
    std::printf("building %d files in %d folders under %s ...\n", kTopFolders * kSubFolders * kFilesPerFolder,
                kTopFolders * kSubFolders, qPrintable(root));
    if (!BuildTree(root)) {
      std::fprintf(stderr, "cannot build the tree under %s\n", qPrintable(root));
      return 1;
    }
  }
  tbx::QtProgressView view;
  tbx::InstallProgress(&view);
  view.Show();

  qsizetype found = 0, matched = 0;
  const QString start = root + QLatin1Char('/');
  const int readers = tbx::ConfiguredReaders();  // as a run lists folders
  tbx::WorkerPool pool(readers >= 2 ? readers : 0);
  tbx::RunLog log;
  const double scanAll =
      BestOf([&] { found = tbx::CollectFiles(log, tbx::TheProgress(), pool, start, QStringLiteral("*")).size(); });
  const double scanSome = BestOf(
      [&] { matched = tbx::CollectFiles(log, tbx::TheProgress(), pool, start, QStringLiteral("par psm asm")).size(); });
  const double find = BestOf([&] {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral("find"), {root, QStringLiteral("-type"), QStringLiteral("f")});
    process.waitForFinished(-1);
  });
  tbx::InstallProgress(nullptr);

  std::printf("files found: %lld (\"*\"), %lld (\"par psm asm\")\n", static_cast<long long>(found),
              static_cast<long long>(matched));
  std::printf("find -type f:             %8.1f ms\n", find);
  std::printf("CollectFiles \"*\":         %8.1f ms  (%.2f x find)\n", scanAll, scanAll / find);
  std::printf("CollectFiles \"par psm asm\": %6.1f ms  (%.2f x find)\n", scanSome, scanSome / find);
  return 0;
}
