// tabellix [CONFIG]: the desktop program with its dialogs and progress window.
#include <QApplication>

#include "common/modCommon.h"
#include "platform/Process.h"
#include "run/RunDriver.h"
#include "ui/InterruptWatch.h"
#include "ui/QtDialogs.h"
#include "ui/QtProgressView.h"

namespace {

const char* const kProgram = "tabellix";
const char* const kOptions =
    "\n"
    "Optionen:\n"
    "  -h, --help   diese Hilfe anzeigen\n"
    "  --version    Programmversion anzeigen\n"
    "  --           Ende der Optionen: danach darf die Datei mit - beginnen\n"
    "\n"
    "Rückgabewert:\n"
    "  0  der Lauf ist beendet (sein Ergebnis steht in den Meldungen und im\n"
    "     Protokoll, auch nach einer fehlgeschlagenen Prüfung oder einem Fehler)\n"
    "  1  keine grafische Oberfläche erreichbar\n"
    "  2  falscher Aufruf\n";

// The help text; the places come from the configuration search itself.
QString Usage() {
  return QStringLiteral(
             "Aufruf: tabellix [--] [KONFIGURATIONSDATEI]\n"
             "\n"
             "Fragt nach dem Startverzeichnis und der Excel-Arbeitsmappe, liest die\n"
             "Eigenschaften aller Dokumente darunter und zeigt den Fortschritt in einem\n"
             "Fenster. Ohne Angabe gilt die erste vorhandene von:\n") +
         tbx::ConfigurationPlacesHelp() + QString::fromUtf8(kOptions);
}

}  // namespace

int main(int argc, char** argv) {
  tbx::PrepareStandardStreams();
  const tbx::ProgramArguments parsed = tbx::ParseProgramArguments(tbx::CommandLineArguments(argc, argv), kProgram, Usage());
  if (parsed.exitStatus) return *parsed.exitStatus;
  QString config = parsed.config;
  if (const QString reason = tbx::NoDisplayReason(); !reason.isEmpty()) {
    tbx::Complain(kProgram, QStringLiteral("keine grafische Oberfläche erreichbar (%1). Für Läufe "
                                           "ohne Bildschirm gibt es tabellix-batch.")
                                .arg(reason));
    return 1;
  }

  QApplication app(argc, argv);
  tbx::QtDialogs dialogs;
  tbx::QtProgressView progress;
  const tbx::InterruptWatch interrupts;
  tbx::InstallDialogs(&dialogs);
  tbx::InstallProgress(&progress);
  if (config.isEmpty()) {
    const tbx::ConfigurationSearch search = tbx::FindConfiguration();
    config = search.path;
    // Without a configuration the run goes on as it always has, and its
    // checks say what is missing; this message says where to put one.
    if (config.isEmpty())
      dialogs.MessageBox(tbx::MissingConfigurationText(search), tbx::MessageButtons::Ok,
                         tbx::MessageIcon::Information, QString());
  }
  // The run shows its outcome in the log and its messages, not in an exit status.
  (void)(config.isEmpty() ? tbx::RunDesktop() : tbx::RunDesktop(config));
  tbx::InstallProgress(nullptr);
  tbx::InstallDialogs(nullptr);
  return 0;
}
