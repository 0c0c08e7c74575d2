// tabellix-batch [CONFIG]: the run without a display, for schedules and servers.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

#include "common/modCommon.h"
#include "interaction/interaction.h"
#include "run/modMainRead.h"

namespace {

const char* const kUsage =
    "Aufruf: tabellix-batch [KONFIGURATIONSDATEI]\n"
    "\n"
    "Liest die Eigenschaften aller Dokumente unter dem Startverzeichnis ([Pfade]\n"
    "SourceDir) und schreibt sie in die Excel-Arbeitsmappe [Pfade] ExcelFile.\n"
    "Ohne Angabe gilt ZireVuz.ini neben dem Programm. Das Protokoll und relative\n"
    "Pfade beziehen sich auf den Ordner der Konfigurationsdatei.\n"
    "\n"
    "Optionen:\n"
    "  -h, --help   diese Hilfe anzeigen\n"
    "  --version    Programmversion anzeigen\n"
    "\n"
    "Rückgabewert: 0 Arbeitsmappe geschrieben, 1 Prüfung fehlgeschlagen oder\n"
    "Schritt abgebrochen, 2 Laufzeitfehler (die Arbeitsmappe wurde bis dahin\n"
    "gespeichert).\n";

void Complain(const QString& text) {
  std::fprintf(stderr, "tabellix-batch: %s\n", text.toLocal8Bit().constData());
}

// The closing summary on stdout, so scripts can read where the workbook is.
void PrintSummary(const tbx::RunSummary& summary, double seconds) {
  QString files = QString::number(summary.stats.workbookFiles);
  if (summary.stats.workbookFiles == 1)
    files += QStringLiteral(" (") + summary.lastWorkbook + u')';
  else if (summary.stats.workbookFiles > 1)
    files += QStringLiteral(" (") + summary.firstWorkbook + QStringLiteral(" bis ") + summary.lastWorkbook + u')';
  const QString text = QStringLiteral("Gefundene Dokumente:   %1\n"
                                      "Geschriebene Zeilen:   %2\n"
                                      "Markierte Zeilen:      %3\n"
                                      "Arbeitsmappen:         %4\n"
                                      "Dauer:                 %5 s\n")
                           .arg(summary.documentsFound)
                           .arg(summary.stats.rowsWritten)
                           .arg(summary.stats.rowsMarked)
                           .arg(files)
                           .arg(tbx::RealText(qRound(seconds * 10) / 10.0));
  std::fputs(text.toLocal8Bit().constData(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString config;
  bool optionsEnded = false;
  const QStringList args = QCoreApplication::arguments().mid(1);
  for (const QString& arg : args) {
    if (!optionsEnded && (arg == QLatin1String("-h") || arg == QLatin1String("--help"))) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (!optionsEnded && arg == QLatin1String("--version")) {
      std::printf("%s\n", tbx::TitleAndVersion().toUtf8().constData());
      return 0;
    }
    if (!optionsEnded && arg == QLatin1String("--")) {
      optionsEnded = true;
    } else if (!optionsEnded && arg.startsWith(u'-') && arg.size() > 1) {
      Complain(QStringLiteral("unbekannte Option: %1 (Hilfe mit --help)").arg(arg));
      return 1;
    } else if (!config.isEmpty()) {
      Complain(QStringLiteral("nur eine Konfigurationsdatei möglich (Hilfe mit --help)"));
      return 1;
    } else {
      config = arg;
    }
  }
  if (config.isEmpty()) config = tbx::ConfigurationPath();
  if (!QFileInfo(config).isFile()) {
    Complain(QStringLiteral("Konfigurationsdatei nicht gefunden: %1").arg(config));
    return 1;
  }

  tbx::TerminalProgress progress(stderr, ::isatty(STDERR_FILENO) == 1);
  tbx::InstallProgress(&progress);
  tbx::TerminalProgress::CatchInterrupt();
  QElapsedTimer clock;
  clock.start();
  tbx::RunSummary summary;
  const tbx::RunOutcome outcome = tbx::RunBatch(config, &summary);
  progress.Unload();
  tbx::InstallProgress(nullptr);
  PrintSummary(summary, clock.elapsed() / 1000.0);
  // A run stopped with Ctrl-C has saved the rows read until then; only a
  // failed check or a cancelled step leaves no workbook behind.
  if (outcome == tbx::RunOutcome::Stopped && summary.stats.workbookFiles > 0)
    Complain(QStringLiteral("abgebrochen, die Arbeitsmappe enthält die bis dahin gelesenen Dokumente"));
  else if (outcome == tbx::RunOutcome::Stopped && tbx::LogEnabled())
    Complain(QStringLiteral("keine Arbeitsmappe geschrieben, siehe Protokoll %1").arg(tbx::LogFilePath()));
  return tbx::ExitStatus(outcome);
}
