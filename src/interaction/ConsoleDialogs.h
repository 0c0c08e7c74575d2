#pragma once
// Dialogs without a display: every text goes to stderr and every question is
// answered with its default (OK, No, cancel for the choosers).
#include "interaction/Dialogs.h"

#include <cstdio>

namespace tbx {

class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(std::FILE* out = stderr) : out_(out) {}
  int MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                 const QString& title) override;
  QString BrowseForFolder(const QString& prompt) override;
  QString SaveFileName(const SaveDialogRequest& request) override;
  void ReportFailedCheck(const QString& text) override { Print(QString(), text); }
  int ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
               InfoPicture style) override;

 private:
  void Print(const QString& title, const QString& text);
  std::FILE* out_;
};

}  // namespace tbx
