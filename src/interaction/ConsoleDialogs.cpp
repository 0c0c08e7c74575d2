#include "interaction/ConsoleDialogs.h"

#include "common/CommandLine.h"
#include "common/ProgramInfo.h"

namespace tbx {
void ConsoleDialogs::Print(const QString& title, const QString& text) {
  // A window's title bar tells a desktop user which program speaks; here the
  // program's name does, and a title such as "Warnung" or the configuration's
  // path stays in front of the text.
  const bool namesProgram = title.isEmpty() || title == QLatin1String(kProgramTitle);
  const QString line = namesProgram ? text : title + QStringLiteral(": ") + text;
  Complain(program_, line, out_);
}

int ConsoleDialogs::MessageBox(const QString& text, MessageButtons buttons, MessageIcon,
                               const QString& title) {
  if (buttons == MessageButtons::YesNo) {
    // Nobody can answer here: the question is shown with the answer taken.
    Print(title, text + QStringLiteral(" Nein"));
    return kResultNo;
  }
  Print(title, text);
  return kResultOk;
}

QString ConsoleDialogs::BrowseForFolder(const QString&, const QString&) { return QString(); }

QString ConsoleDialogs::SaveFileName(const SaveDialogRequest&) { return QString(); }

int ConsoleDialogs::ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
                             InfoPicture) {
  Print(caption, message);
  // The default answer of each button set: Yes for the question sets, OK otherwise.
  return (buttons == kInfoYesNoCancel || buttons == kInfoYesNo) ? kResultYes : kResultOk;
}

}  // namespace tbx
