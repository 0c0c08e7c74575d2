#pragma once
// The dialogs of the desktop program: Qt's message box and file dialogs and
// the program's own frmInfo.
#include <QTranslator>

#include "interaction/Dialogs.h"

namespace tbx {

class QtDialogs : public Dialogs {
 public:
  // nativeDialogs false uses Qt's own file dialogs, which tests can drive
  // (a platform theme's native dialog is invisible to them).
  explicit QtDialogs(bool nativeDialogs = true);
  ~QtDialogs() override;

  int MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                 const QString& title) override;
  QString BrowseForFolder(const QString& prompt, const QString& startFolder) override;
  QString SaveFileName(const SaveDialogRequest& request) override;
  void ReportFailedCheck(const QString& text) override;
  int ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
               InfoPicture style) override;

 private:
  bool nativeDialogs_;
  QTranslator germanQtTexts_;
};

}  // namespace tbx
