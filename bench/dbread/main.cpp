// Database mode's reading speed: for every document the record query and four
// mapped fields, one of them a reference (three more queries), on a sample
// SQLite database with as many documents.
//
//   bench_dbread [DOCUMENTS]      (default 10000)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "database/modDatabase.h"
#include "common/RunError.h"

namespace {

const char* const kFields[] = {"DOC_NR", "TITEL", "GEWICHT", "r:BEARBEITER"};

bool BuildDatabase(const QString& file, int documents) {
  QProcess p;
  p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  p.start(QStringLiteral("/usr/bin/python3"),
          {QStringLiteral(TBX_SOURCE_DIR "/tools/sampledb/sampledb.py"), QStringLiteral("--sqlite"), file,
           QStringLiteral("--count"), QString::number(documents)});
  return p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int documents = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
  if (documents < 1) {
    std::fprintf(stderr, "Aufruf: bench_dbread [DOKUMENTE]\n");
    return 2;
  }
  QTemporaryDir dir;
  const QString db = dir.path() + QStringLiteral("/bench.db");
  if (!dir.isValid() || !BuildDatabase(db, documents)) return 1;
  QFile ini(dir.path() + QStringLiteral("/bench.ini"));
  if (!ini.open(QIODevice::WriteOnly)) return 1;
  ini.write(QStringLiteral("[ODBC]\nDataSource=%1\nUsername=leser\nPassword=x\nProvider=SQLite\nDatabase=ulvo\n"
                           "[SQL]\nSelect=*\nFrom=ulvo.documents\nWhere=FILE_NAME='%Id'\n")
                .arg(db)
                .toUtf8());
  ini.close();

  std::unique_ptr<tbx::DatabaseConnection> connection = tbx::ConnectDatabase(tbx::TheDialogs(), tbx::TheProgress(), QStringLiteral("ODBC"), ini.fileName());
  if (!connection) return 1;
  QElapsedTimer timer;
  timer.start();
  int found = 0;
  tbx::ReferenceCache references;
  qint64 characters = 0;
  try {
    for (int i = 1; i <= documents; ++i) {
      const QString path = QStringLiteral("/daten/teil-%1.par").arg(i, 5, 10, QLatin1Char('0'));
      const std::optional<tbx::RecordSet> record = tbx::FindDocumentRecord(tbx::TheDialogs(), *connection, path, tbx::LoadProfile(ini.fileName()));
      if (!record) continue;
      ++found;
      for (const char* field : kFields)
        characters += tbx::GetRecordValue(*connection, *record, QString::fromLatin1(field), references).text.size();
    }
  } catch (const tbx::RunError& e) {
    std::fprintf(stderr, "Laufzeitfehler %d: %s\n", e.number(), e.what());
    return 1;
  }
  const double seconds = timer.nsecsElapsed() / 1e9;
  std::printf("dbread: %d Dokumente (%d gefunden, %lld Zeichen) in %.2f s: %.0f Dokumente/s\n", documents, found,
              static_cast<long long>(characters), seconds, documents / seconds);
  return found == documents ? 0 : 1;
}
