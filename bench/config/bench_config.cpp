// How much a configuration read and a log line cost: a run reads the
// configuration for every criterion and format pattern of every document and
// writes several log lines per document.
//   build/bench/config/bench_config [ZireVuz.ini]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "common/Config.h"
#include "common/RunLog.h"
#include "common/ProgramInfo.h"

namespace {

template <class Body>
void Measure(const char* what, int rounds, Body body) {
  QElapsedTimer timer;
  timer.start();
  for (int i = 0; i < rounds; ++i) body(i);
  std::printf("%-44s %8.2f us\n", what, double(timer.nsecsElapsed()) / 1000.0 / rounds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  QString config = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
  if (config.isEmpty()) {
    config = dir.path() + "/ZireVuz.ini";
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write("[Config]\nWriteLog=ja\nPattern=par psm asm dft\n[MapProperties]\n");
    for (int i = 0; i < 40; ++i) f.write(QByteArray("C") + QByteArray::number(i) + "=Eigenschaft" + QByteArray::number(i) + "\n");
    f.write("[Dokumentnummer]\nFormat0=99-999\nFormat1=!!-9999\n");
    f.close();
    // The reader keeps a file parsed only once it has stopped changing.
    QThread::msleep(2100);
  }
  const int rounds = 200000;
  qsizetype sink = 0;
  Measure("ReadIniValue, format pattern", rounds,
          [&](int) { sink += tbx::ReadIniValue("Dokumentnummer", "Format1", config).size(); });
  Measure("ReadIniValue, absent key", rounds,
          [&](int) { sink += tbx::ReadIniValue("Dokumentnummer", "Format2", config).size(); });
  Measure("ReadIniKeys, 40 keys", rounds / 10,
          [&](int) { sink += tbx::ReadIniKeys("MapProperties", config).size(); });
  tbx::SetProgramFolder(dir.path());
  tbx::RunLog log;
  log.SetLogEnabled(true);
  Measure("LogMessage", rounds / 10,
          [&](int i) { log.LogMessage(QStringLiteral("%1: Bearbeite /daten/Teil.par").arg(i)); });
  std::printf("(%lld)\n", static_cast<long long>(sink));
  return 0;
}
