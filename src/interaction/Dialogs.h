#pragma once
// The dialogs a run shows: the platform message box, the folder chooser, the
// save dialog and the program's own message dialog (frmInfo). The run code
// talks only to this interface: the desktop program installs the Qt Widgets
// implementation, the batch program the console one, tests a scripted one.
#include <QString>

namespace tbx {

enum class MessageIcon { None, Information, Warning, Question, Critical };
enum class MessageButtons { Ok, YesNo };

// Result codes in the numbering of the platform's standard message box.
enum MessageResult : int { kResultOk = 1, kResultCancel = 2, kResultYes = 6, kResultNo = 7 };

// Button sets of the program's message dialog (frmInfo), in the classic
// message-box numbering its callers have always used. Every value other than
// the two question sets shows the OK button alone; combined flags are not
// decoded.
enum InfoButtons : int {
  kInfoOk = 0,
  kInfoYesNoCancel = 3,
  kInfoYesNo = 4,
  // The OK set as database messages ask for it: the critical-icon flag,
  // which the dialog does not decode as a picture.
  kInfoOkCritical = 16,
};

// Picture styles of the message dialog: the information picture, the error
// picture for either error style, and the program's banner for any other
// value. The OK set shows the banner whatever the style; the yes/no/cancel
// set shows the error picture.
enum InfoPicture : int {
  kPictureBanner = 0,
  kPictureCritical = 16,
  kPictureExclamation = 48,
  kPictureInformation = 64,
};

struct SaveDialogRequest {
  QString filter;         // "Excel-Dateien (*.xls)"
  QString defaultSuffix;  // "xls"
  QString title;          // "Properties speichern in..."
  QString initialDir;     // the folder the dialog opens in
  QString suggestedName;  // the name it proposes ("" for none)
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a message box and waits; an empty title shows the program's title.
  virtual int MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                         const QString& title) = 0;

  // Lets the user pick a file-system folder, starting in startFolder (the
  // home folder when it is ""); its path, or "" on cancel.
  virtual QString BrowseForFolder(const QString& prompt, const QString& startFolder) = 0;

  // Lets the user pick the workbook to write; its path, or "" on cancel.
  // It does not ask about an existing file: the run does, since it knows
  // that the earlier workbook is kept.
  virtual QString SaveFileName(const SaveDialogRequest& request) = 0;

  // A check that ends the run failed: the log has the line; a program that
  // shows no windows says it where its user looks (the batch program: stderr).
  virtual void ReportFailedCheck(const QString& text) { (void)text; }

  // The program's own modal message dialog: frmInfo.ShowModal.
  virtual int ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
                       InfoPicture style) = 0;
};

// The dialogs in force (the console dialogs until another is installed).
Dialogs& TheDialogs();

// Installs dialogs (not owned); nullptr restores the console dialogs.
void InstallDialogs(Dialogs* dialogs);

}  // namespace tbx
