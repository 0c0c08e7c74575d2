#pragma once
// frmInfo: the program's own modal message dialog (the name is that of the
// classic form, kept so that old screenshots and tickets still match; the
// Dialogs interface reaches it as ShowInfo). ShowModal builds it from
// its load state, shows it modally and unloads it again, so nothing of one
// call carries into the next.
#include <QDialog>
#include <optional>

#include "interaction/Dialogs.h"

class QPlainTextEdit;
class QPushButton;

namespace tbx {

class ImageControl;

class frmInfo : public QDialog {
 public:
  // Shows message with a button set and a picture style (see InfoButtons
  // and InfoPicture); waits for a button and returns 1 (OK), 2 (Abbrechen),
  // 6 (Ja) or 7 (Nein). No caption shows TitleAndVersion; no style takes the
  // value of buttons, as the classic dialog did.
  static int ShowModal(const QString& message, InfoButtons buttons, const QString& caption = QString(),
                       std::optional<InfoPicture> style = std::nullopt);

  QPlainTextEdit* Message() const { return message_; }
  QPushButton* btnOK() const { return ok_; }
  QPushButton* btnCancel() const { return cancel_; }
  QPushButton* btnYes() const { return yes_; }
  QPushButton* btnNo() const { return no_; }
  ImageControl* imgApp() const { return app_; }
  ImageControl* imgError() const { return error_; }
  ImageControl* imgInfo() const { return info_; }
  ImageControl* imgLogoA() const { return logoA_; }

  // Left edges of the buttons in twips, for the layout checks.
  int LeftTwips(const QWidget* control) const;
  // The outer width W in twips, frame included.
  int OuterWidthTwips() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  frmInfo();
  void Answer(int result);
  // Grows the message box, and the dialog below it, until its text fits.
  void FitMessage();
  void ApplyPictureStyle(InfoPicture style);
  void ApplyButtonSet(InfoButtons buttons);
  void Place(QPushButton* button, qreal leftTwips);

  int intResult_ = -1;
  QPlainTextEdit* message_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* yes_ = nullptr;
  QPushButton* no_ = nullptr;
  ImageControl* app_ = nullptr;
  ImageControl* error_ = nullptr;
  ImageControl* info_ = nullptr;
  ImageControl* logoA_ = nullptr;
};

}  // namespace tbx
