#include "interaction/ConsoleDialogs.h"

#include "common/ProgramInfo.h"

namespace tbx {
void ConsoleDialogs::Print(const QString& title, const QString& text) {
  const QString head = title.isEmpty() ? QString::fromLatin1(kProgramTitle) : title;
  std::fprintf(out_, "%s: %s\n", head.toLocal8Bit().constData(), text.toLocal8Bit().constData());
  std::fflush(out_);
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

QString ConsoleDialogs::BrowseForFolder(const QString&) { return QString(); }

QString ConsoleDialogs::SaveFileName(const SaveDialogRequest&) { return QString(); }

int ConsoleDialogs::ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
                             InfoPicture) {
  Print(caption, message);
  // The default answer of each button set: Yes for the question sets, OK otherwise.
  return (buttons == kInfoYesNoCancel || buttons == kInfoYesNo) ? kResultYes : kResultOk;
}

}  // namespace tbx
