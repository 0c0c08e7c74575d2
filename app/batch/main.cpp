// tabellix-batch [CONFIG]: the run without a display, for schedules and servers.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "check/ConfigCheck.h"
#include "common/modCommon.h"
#include "platform/Process.h"
#include "interaction/interaction.h"
#include "platform/platform.h"
#include "run/modMainRead.h"

namespace {

const char* const kOptions =
    "\n"
    "Optionen:\n"
    "  --check      die Konfiguration prüfen, ohne Arbeitsmappe und Protokoll zu\n"
    "               schreiben: je Befund eine Zeile DATEI:ZEILE: Warnung: ... oder\n"
    "               DATEI:ZEILE: Fehler: ...\n"
    "  -h, --help   diese Hilfe anzeigen\n"
    "  --version    Programmversion anzeigen\n"
    "  --           Ende der Optionen: danach darf die Datei mit - beginnen\n"
    "\n"
    "Rückgabewert:\n"
    "  0  Arbeitsmappe geschrieben\n"
    "  1  Prüfung fehlgeschlagen (etwa keine Konfigurationsdatei), Schritt\n"
    "     abgebrochen oder Lauf mit Strg+C beendet (siehe Protokoll)\n"
    "  2  Laufzeitfehler (die Arbeitsmappe wurde bis dahin gespeichert) oder\n"
    "     falscher Aufruf\n"
    "Mit --check: 0 ohne Befund, 1 nur Warnungen, 2 Fehler (auch eine fehlende,\n"
    "unlesbare oder binäre Konfigurationsdatei) oder falscher Aufruf.\n";

// The help text; the places and the settings come from where the program
// takes them, so the text cannot drift from what it does.
QString Usage() {
  return QStringLiteral(
             "Aufruf: tabellix-batch [--check] [--] [KONFIGURATIONSDATEI]\n"
             "\n"
             "Liest die Eigenschaften aller Dokumente unter dem Startverzeichnis ([Pfade]\n"
             "SourceDir) und schreibt sie in die Excel-Arbeitsmappe [Pfade] ExcelFile.\n"
             "Ohne Angabe gilt die erste vorhandene von:\n") +
         tbx::ConfigurationPlacesHelp() + tbx::FilePlacesHelp() + QString::fromUtf8(kOptions) + QStringLiteral("\nEinstellungen:\n") +
         tbx::SettingsOverview();
}

const char* const kProgram = "tabellix-batch";

void Complain(const QString& text) { tbx::Complain(kProgram, text); }

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

// --check: one line per finding on stdout, then a closing line.
int CheckOnly(const QString& config) {
  const std::vector<tbx::Finding> findings = tbx::CheckConfiguration(config);
  QString text;
  for (const tbx::Finding& f : findings) text += tbx::FindingLine(config, f) + u'\n';
  const int status = tbx::CheckExitStatus(findings);
  text += status == 0 ? QStringLiteral("%1: keine Befunde.\n").arg(config)
                      : QStringLiteral("%1: %2 Befund(e).\n").arg(config).arg(findings.size());
  std::fputs(text.toLocal8Bit().constData(), stdout);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  tbx::PrepareStandardStreams();
  QCoreApplication app(argc, argv);
  const tbx::ProgramArguments parsed =
      tbx::ParseProgramArguments(tbx::CommandLineArguments(argc, argv), kProgram, Usage(), {QStringLiteral("--check")});
  if (parsed.exitStatus) return *parsed.exitStatus;
  const bool checkOnly = parsed.switches.contains(QStringLiteral("--check"));
  // For a run no usable configuration is a failed check (1); for --check it
  // is the worst finding there is (2).
  const int noConfigurationStatus = checkOnly ? 2 : 1;
  QString config = parsed.config;
  if (config.isEmpty()) {
    const tbx::ConfigurationSearch search = tbx::FindConfiguration();
    if (search.path.isEmpty()) {
      Complain(tbx::MissingConfigurationText(search));
      return noConfigurationStatus;
    }
    config = search.path;
  }
  // The check reports an unusable file as its finding, in its own format.
  if (checkOnly) return CheckOnly(config);
  if (const std::optional<QString> problem = tbx::ConfigurationFileProblem(config)) {
    Complain(*problem);
    return noConfigurationStatus;
  }

  tbx::TerminalProgress progress(stderr, tbx::StandardErrorIsTerminal());
  tbx::InstallProgress(&progress);
  tbx::CatchInterrupts();
  QElapsedTimer clock;
  clock.start();
  tbx::RunSummary summary;
  const tbx::RunOutcome outcome = tbx::RunBatch(config, &summary, [](const QString& text) { Complain(text); });
  progress.Unload();
  tbx::InstallProgress(nullptr);
  PrintSummary(summary, clock.elapsed() / 1000.0);
  // A run stopped with Ctrl-C has saved the rows read until then; only a
  // failed check or a cancelled step leaves no workbook behind.
  if (outcome == tbx::RunOutcome::Stopped && summary.stats.workbookFiles > 0)
    Complain(QStringLiteral("abgebrochen, die Arbeitsmappe enthält die bis dahin gelesenen Dokumente"));
  else if (outcome == tbx::RunOutcome::Stopped && !summary.logFile.isEmpty())
    Complain(QStringLiteral("keine Arbeitsmappe geschrieben, siehe Protokoll %1").arg(summary.logFile));
  return tbx::ExitStatus(outcome);
}
