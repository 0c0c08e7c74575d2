#pragma once
// Dialogs without a display: every text goes to stderr and every question is
// answered with its default (OK, No, cancel for the choosers). Each text is
// one line "<program>: <title>: <text>", as other programs' messages read;
// an empty title, which a window shows as the program's, is left out.
#include "interaction/Dialogs.h"

#include <cstdio>

namespace tbx {

class ConsoleDialogs : public Dialogs {
 public:
  explicit ConsoleDialogs(const char* program, std::FILE* out = stderr) : program_(program), out_(out) {}
  int MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                 const QString& title) override;
  QString BrowseForFolder(const QString& prompt, const QString& startFolder) override;
  QString SaveFileName(const SaveDialogRequest& request) override;
  void ReportFailedCheck(const QString& text) override { Print(QString(), text); }
  int ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
               InfoPicture style) override;

 private:
  void Print(const QString& title, const QString& text);
  const char* program_;
  std::FILE* out_;
};

}  // namespace tbx
