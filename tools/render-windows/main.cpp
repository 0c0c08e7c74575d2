// Renders both windows with sample content to PNG files, so their look can be
// reviewed without running a whole scan. Runs offscreen unless a platform is
// chosen (QT_QPA_PLATFORM=xcb with a display renders through the real one);
// a second argument keeps each window that many milliseconds on screen first,
// time enough for a screenshot of the display (import -window root).
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <cstdio>

#include "ui/frmInfo.h"
#include "ui/frmProgress.h"

namespace {

bool g_ok = true;
int g_holdMs = 0;

void Save(QWidget& widget, const QDir& dir, const QString& name) {
  if (g_holdMs > 0) {
    QEventLoop hold;
    QTimer::singleShot(g_holdMs, &hold, &QEventLoop::quit);
    hold.exec();
  }
  const QString path = dir.filePath(name + QStringLiteral(".png"));
  if (widget.grab().save(path, "PNG")) {
    std::printf("%s\n", qPrintable(path));
  } else {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    g_ok = false;
  }
}

void RenderProgress(const QDir& dir) {
  tbx::frmProgress& window = tbx::frmProgress::Get();
  window.Label1()->setText(QStringLiteral("/daten/Konstruktion/Getriebe/Gehäuse/"));
  window.show();
  Save(window, dir, QStringLiteral("frmProgress-scan"));
  window.setWindowTitle(QStringLiteral("Gehäuse_links.par"));
  window.Label1()->setText(QStringLiteral("/daten/Konstruktion/Getriebe/Gehäuse/\nGehäuse_links.par"));
  window.ShowProgress();
  window.SetProzent(42);
  Save(window, dir, QStringLiteral("frmProgress-documents"));
  tbx::frmProgress::Unload();
}

// frmInfo exists only inside ShowModal: the picture is taken from within the
// dialog's event loop, which is then ended through the title bar's close.
void RenderInfo(const QDir& dir, const QString& name, const QString& message, tbx::InfoButtons buttons,
                tbx::InfoPicture style) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [timer, dir, name] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    Save(*dialog, dir, name);
    dialog->close();
  });
  timer->start();
  tbx::frmInfo::ShowModal(message, buttons, QStringLiteral("C:/Programme/Tabellix/ZireVuz.ini"), style);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: tbx-render-windows <folder> [hold-ms]\n");
    return 2;
  }
  if (argc == 3) g_holdMs = QString::fromLocal8Bit(argv[2]).toInt();
  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(dir.path())) return 1;
  RenderProgress(dir);
  RenderInfo(dir, QStringLiteral("frmInfo-error-ok"),
             QStringLiteral("Folgende Einträge fehlen in der Sektion [ODBC]:\r\nDataSource\r\nUsername"), tbx::kInfoOkCritical,
             tbx::kPictureCritical);
  RenderInfo(dir, QStringLiteral("frmInfo-info-yes-no"),
             QStringLiteral("Die Verbindung zur Datenbank wurde hergestellt. Fortfahren?"), tbx::kInfoYesNo,
             tbx::kPictureInformation);
  RenderInfo(dir, QStringLiteral("frmInfo-error-yes-no-cancel"),
             QStringLiteral("Verbindung zur Datenbank fehlgeschlagen:\r\n[unixODBC][Driver Manager]Data source name "
                            "not found. Erneut versuchen?"),
             tbx::kInfoYesNoCancel, tbx::kPictureInformation);
  return g_ok ? 0 : 1;
}
