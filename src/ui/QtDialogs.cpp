#include "ui/QtDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include "common/ProgramInfo.h"
#include "ui/Artwork.h"
#include "ui/frmInfo.h"

namespace tbx {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// The extension of a name filter such as "Excel-Arbeitsmappen (*.xlsx)", or
// "" when it has none.
QString FilterSuffix(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
  return pattern.match(filter).captured(1);
}

}  // namespace

QtDialogs::QtDialogs(bool nativeDialogs) : nativeDialogs_(nativeDialogs) {
  // The program speaks German whatever the desktop's language: Qt's own
  // texts in the file dialogs (labels, columns, context menus) follow it
  // where Qt's German translation is installed.
  if (germanQtTexts_.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(&germanQtTexts_);
  }
}

QtDialogs::~QtDialogs() { QCoreApplication::removeTranslator(&germanQtTexts_); }

int QtDialogs::MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                          const QString& title) {
  QMessageBox box(BoxIcon(icon), title.isEmpty() ? QString::fromLatin1(kProgramTitle) : title, text);
  box.setWindowIcon(ProgramIcon());
  // The button captions are set here so they are German whatever Qt
  // translations are installed.
  if (buttons == MessageButtons::YesNo) {
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? kResultYes : kResultNo;
  }
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.setDefaultButton(ok);
  box.setEscapeButton(ok);
  box.exec();
  return kResultOk;
}

QString QtDialogs::BrowseForFolder(const QString& prompt, const QString& startFolder) {
  QFileDialog::Options options = QFileDialog::ShowDirsOnly;
  if (!nativeDialogs_) options |= QFileDialog::DontUseNativeDialog;
  return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(
      nullptr, prompt, startFolder.isEmpty() ? QDir::homePath() : startFolder, options));
}

QString QtDialogs::SaveFileName(const SaveDialogRequest& request) {
  // The static getSaveFileName does not append the default suffix, so the
  // dialog is built here.
  QFileDialog dialog(nullptr, request.title, request.initialDir, request.filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix(request.defaultSuffix);
  // Qt's own question says the file would be overwritten; the run asks
  // instead, and says that the earlier workbook is kept.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  // A name typed without extension gets that of the type chosen in the dialog.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& filter) {
    const QString suffix = FilterSuffix(filter);
    dialog.setDefaultSuffix(suffix.isEmpty() ? request.defaultSuffix : suffix);
  });
  if (!nativeDialogs_) dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!request.suggestedName.isEmpty()) {
    // The type shown follows the name proposed, so its extension stays.
    const QString suffix = QFileInfo(request.suggestedName).suffix();
    for (const QString& filter : dialog.nameFilters()) {
      if (!suffix.isEmpty() && FilterSuffix(filter).compare(suffix, Qt::CaseInsensitive) == 0) {
        dialog.selectNameFilter(filter);
        dialog.setDefaultSuffix(FilterSuffix(filter));
      }
    }
    dialog.selectFile(request.suggestedName);
  }
  if (dialog.exec() != QDialog::Accepted) return QString();
  return QDir::toNativeSeparators(dialog.selectedFiles().value(0));
}

void QtDialogs::ReportFailedCheck(const QString& text) {
  // A desktop user looks at the screen, not at the log: a run that ends
  // before its first row says why.
  MessageBox(text, MessageButtons::Ok, MessageIcon::Warning, QString());
}

int QtDialogs::ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
                         InfoPicture style) {
  return frmInfo::ShowModal(message, buttons, caption, style);
}

}  // namespace tbx
