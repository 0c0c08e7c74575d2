#include "ui/frmInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>
#include <cmath>
#include <memory>
#include <vector>

#include "common/PathHelpers.h"
#include "ui/Artwork.h"
#include "ui/ImageControl.h"
#include "ui/Twips.h"

namespace tbx {
namespace {

constexpr int kButtonWidth = 1000;  // twips
constexpr int kButtonGap = 100;     // twips between neighbouring buttons
// The message box grows to this many lines before it scrolls; the dialog
// stays well inside a small screen.
constexpr int kMaxMessageLines = 16;

QPushButton* AddButton(QWidget* parent, const QString& caption, const QRect& place) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(place);
  return button;
}

void ShowControl(QWidget* control, bool on) {
  control->setVisible(on);
  control->setEnabled(on);
}

// The dialog works with the plain arrow whatever busy pointer the caller set;
// the caller's pointers are taken off for the call and put back afterwards.
class DefaultPointerDuringCall {
 public:
  DefaultPointerDuringCall() {
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
      saved_.push_back(*cursor);
      QGuiApplication::restoreOverrideCursor();
    }
  }
  ~DefaultPointerDuringCall() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
  }

 private:
  std::vector<QCursor> saved_;
};

}  // namespace

frmInfo::frmInfo() {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(QStringLiteral("Properties lesen"));
  setWindowIcon(ProgramIcon());
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(8.25);
  setFont(font);
  const TwipScale scale = TwipScale::For(this);
  setFixedSize(scale.Pixels(5790), scale.Pixels(2550));

  // Created back to front: a later sibling is drawn over an earlier one, so
  // the first logo is the one seen, in front of the right part of the pictures.
  info_ = new ImageControl(this, scale.Rect(0, 0, 4050, 1125), LoadPicture(Picture::Information));
  error_ = new ImageControl(this, scale.Rect(0, 0, 4050, 1125), LoadPicture(Picture::Error));
  app_ = new ImageControl(this, scale.Rect(0, 0, 4155, 1155), LoadPicture(Picture::Banner));
  new ImageControl(this, scale.Rect(3000, 0, 2865, 1155), LoadPicture(Picture::LogoC));
  new ImageControl(this, scale.Rect(3000, 0, 2760, 1155), LoadPicture(Picture::LogoB));
  logoA_ = new ImageControl(this, scale.Rect(3000, 0, 2865, 1155), LoadPicture(Picture::LogoA));
  new ImageControl(this, scale.Rect(0, 1160, 5760, 80), LoadPicture(Picture::ColourStrip));
  ok_ = AddButton(this, QStringLiteral("OK"), scale.Rect(1200, 2115, 1000, 400));
  yes_ = AddButton(this, QStringLiteral("Ja"), scale.Rect(3840, 2115, 1000, 400));
  no_ = AddButton(this, QStringLiteral("Nein"), scale.Rect(120, 2115, 1000, 400));
  cancel_ = AddButton(this, QStringLiteral("Abbrechen"), scale.Rect(2760, 2115, 1000, 400));

  message_ = new QPlainTextEdit(QStringLiteral("Meldung"), this);
  message_->setGeometry(scale.Rect(120, 1320, 5535, 735));
  message_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  message_->setReadOnly(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  message_->setFocusPolicy(Qt::ClickFocus);  // reachable by mouse, skipped by Tab
  QPalette menuColoured = message_->palette();
  menuColoured.setColor(QPalette::Base, QApplication::palette("QMenu").color(QPalette::Window));
  message_->setPalette(menuColoured);

  // Tab order of the load state; the button sets keep this relative order.
  setTabOrder(ok_, yes_);
  setTabOrder(yes_, no_);
  setTabOrder(no_, cancel_);

  connect(ok_, &QPushButton::clicked, this, [this] { Answer(kResultOk); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Answer(kResultCancel); });
  connect(yes_, &QPushButton::clicked, this, [this] { Answer(kResultYes); });
  connect(no_, &QPushButton::clicked, this, [this] { Answer(kResultNo); });
}

int frmInfo::ShowModal(const QString& message, InfoButtons buttons, const QString& caption,
                       std::optional<InfoPicture> style) {
  const DefaultPointerDuringCall pointer;
  std::unique_ptr<frmInfo> dialog(new frmInfo());  // loaded afresh, unloaded on return
  dialog->intResult_ = -1;
  dialog->setWindowTitle(caption.isEmpty() ? TitleAndVersion() : caption);
  if (!message.isEmpty()) {
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    dialog->message_->setPlainText(text);
    dialog->FitMessage();
  }
  // The native window is made first so that the outer width W includes the
  // frame wherever the platform knows it before the dialog is shown.
  dialog->winId();
  dialog->ApplyPictureStyle(style.value_or(static_cast<InfoPicture>(buttons)));
  dialog->ApplyButtonSet(buttons);
  dialog->exec();
  // A dialog hidden without an answer (not by a button or the title bar)
  // counts as cancelled rather than leaving the caller waiting.
  return dialog->intResult_ < 0 ? kResultCancel : dialog->intResult_;
}

void frmInfo::FitMessage() {
  // Measured as the box lays it out: its font, margin and wrapping, in the
  // width its always-shown scroll bar leaves.
  QTextDocument measure;
  measure.setDefaultFont(message_->font());
  measure.setDocumentMargin(message_->document()->documentMargin());
  QTextOption option = message_->document()->defaultTextOption();
  option.setWrapMode(message_->wordWrapMode());
  measure.setDefaultTextOption(option);
  measure.setPlainText(message_->toPlainText());
  const int frame = message_->frameWidth();
  measure.setTextWidth(message_->width() - 2 * frame - message_->verticalScrollBar()->sizeHint().width());
  const int limit = kMaxMessageLines * message_->fontMetrics().lineSpacing() +
                    2 * int(measure.documentMargin()) + 2 * frame;
  const int wanted = qMin(limit, int(std::ceil(measure.size().height())) + 2 * frame + 2);
  const int grow = wanted - message_->height();
  if (grow <= 0) return;
  message_->resize(message_->width(), wanted);
  for (QPushButton* button : {ok_, yes_, no_, cancel_}) button->move(button->x(), button->y() + grow);
  setFixedSize(width(), height() + grow);
}

void frmInfo::ApplyPictureStyle(InfoPicture style) {
  ImageControl* chosen = app_;
  if (style == kPictureInformation) {
    chosen = info_;
  } else if (style == kPictureExclamation || style == kPictureCritical) {
    chosen = error_;
  }
  for (ImageControl* picture : {info_, error_, app_}) ShowControl(picture, picture == chosen);
}

void frmInfo::ApplyButtonSet(InfoButtons buttons) {
  const qreal w = OuterWidthTwips();
  if (buttons == kInfoYesNo) {
    Place(yes_, (w - kButtonGap) / 2 - kButtonWidth);
    Place(no_, (w + kButtonGap) / 2);
    ShowControl(yes_, true);
    ShowControl(no_, true);
    ShowControl(ok_, false);
    ShowControl(cancel_, false);
    yes_->setFocus();
  } else if (buttons == kInfoYesNoCancel) {
    error_->show();
    info_->hide();
    app_->hide();
    Place(yes_, (w - kButtonWidth) / 2 - kButtonWidth - kButtonGap);
    Place(no_, (w - kButtonWidth) / 2);
    Place(cancel_, (w + kButtonWidth) / 2 + kButtonGap);
    for (QPushButton* button : {yes_, no_, cancel_}) ShowControl(button, true);
    ShowControl(ok_, false);
    yes_->setFocus();
  } else {
    app_->show();
    info_->hide();
    error_->hide();
    Place(ok_, (w - kButtonWidth) / 2);
    ShowControl(ok_, true);
    for (QPushButton* button : {cancel_, yes_, no_}) ShowControl(button, false);
    ok_->setFocus();
  }
}

void frmInfo::Place(QPushButton* button, qreal leftTwips) {
  const TwipScale scale = TwipScale::For(this);
  button->setGeometry(scale.Pixels(leftTwips), button->y(), scale.Pixels(kButtonWidth), button->height());
}

int frmInfo::OuterWidthTwips() const { return TwipScale::For(this).Twips(frameGeometry().width()); }

int frmInfo::LeftTwips(const QWidget* control) const { return TwipScale::For(this).Twips(control->x()); }

void frmInfo::Answer(int result) {
  intResult_ = result;
  hide();
}

void frmInfo::keyPressEvent(QKeyEvent* event) {
  // Esc belongs to btnCancel alone: without a visible, enabled cancel button
  // it does nothing (QDialog would otherwise reject the dialog).
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (cancel_->isVisible() && cancel_->isEnabled()) cancel_->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void frmInfo::closeEvent(QCloseEvent* event) {
  // The title bar's close button answers like btnCancel.
  if (intResult_ < 0) intResult_ = kResultCancel;
  QDialog::closeEvent(event);
}

}  // namespace tbx
