#include "platform/ConsoleDialogs.h"

#include "platform/ProgramInfo.h"
#include "platform/ProgressView.h"

namespace tbx {
namespace {

class HeadlessProgress : public ProgressView {
 public:
  void SetCaption(const QString&) override {}
  void SetStatus(const QString&) override {}
  void Show() override {}
  void ShowProgress() override {}
  void SetPercent(int) override {}
  void SetToolTip(const QString&) override {}
  void ProcessEvents() override {}
  bool Cancelled() const override { return false; }
  void Unload() override {}
};

Dialogs*& InstalledDialogs() {
  static Dialogs* dialogs = nullptr;
  return dialogs;
}

ProgressView*& InstalledProgress() {
  static ProgressView* view = nullptr;
  return view;
}

}  // namespace

Dialogs& TheDialogs() {
  static ConsoleDialogs console;
  Dialogs* d = InstalledDialogs();
  return d ? *d : console;
}

void InstallDialogs(Dialogs* dialogs) { InstalledDialogs() = dialogs; }

ProgressView& TheProgress() {
  static HeadlessProgress headless;
  ProgressView* v = InstalledProgress();
  return v ? *v : headless;
}

void InstallProgress(ProgressView* view) { InstalledProgress() = view; }

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

int ConsoleDialogs::ShowInfo(const QString& message, int buttons, const QString& caption, int) {
  Print(caption, message);
  // The default answer of each button set: Yes for the question sets, OK otherwise.
  return (buttons == 3 || buttons == 4) ? kResultYes : kResultOk;
}

}  // namespace tbx
