#include "interaction/ConsoleDialogs.h"
#include "interaction/ProgressView.h"

// The dialogs and progress view a run starts with. The programs install
// theirs before the run; tests install fakes. Everything else reaches them
// through the run state, which takes them from here when it is made.
namespace tbx {
namespace {

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
  // Only the batch program runs with the console dialogs: it installs none.
  static ConsoleDialogs console("tabellix-batch");
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

}  // namespace tbx
