#pragma once
// Shared test helpers: scripted dialogs, a recording progress view, a
// temporary folder and a pinned locale and clock.
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <ostream>

#include "common/FoundDocuments.h"
#include "interaction/Dialogs.h"
#include "interaction/ProgressView.h"

// Readable QString values in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace tbx::test {

// Dialogs whose answers a test queues; every call is recorded.
class FakeDialogs : public Dialogs {
 public:
  struct Call {
    QString kind;  // "message", "folder", "save", "info"
    QString text;
    QString title;  // the folder dialog's start folder, the save dialog's folder
    int buttons = 0;
    int icon = 0;
  };
  FakeDialogs() { InstallDialogs(this); }
  ~FakeDialogs() override { InstallDialogs(nullptr); }

  std::deque<int> messageAnswers;     // default: OK / No
  std::deque<QString> folderAnswers;  // default: "" (cancel)
  std::deque<QString> saveAnswers;    // default: "" (cancel)
  std::deque<int> infoAnswers;        // default: 1
  std::vector<Call> calls;
  SaveDialogRequest lastSaveRequest;

  int MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                 const QString& title) override;
  QString BrowseForFolder(const QString& prompt, const QString& startFolder) override;
  QString SaveFileName(const SaveDialogRequest& request) override;
  int ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
               InfoPicture style) override;
};

// A progress view that records what the run told it; a test may ask it to
// report the cancel flag after a number of ProcessEvents calls, and may act
// when the bar is revealed (the scan is done, the documents come next).
class FakeProgress : public ProgressView {
 public:
  FakeProgress() { InstallProgress(this); }
  ~FakeProgress() override { InstallProgress(nullptr); }

  QStringList statuses;
  QStringList captions;
  QStringList toolTips;
  std::vector<int> percents;
  int shown = 0, progressShown = 0, unloaded = 0, eventRounds = 0;
  int cancelAfterDocuments = -1;  // -1: never
  bool cancelled = false;
  std::function<void()> onShowProgress;

  void SetCaption(const QString& caption) override { captions << caption; }
  void SetStatus(const QString& text) override;
  void Show() override { ++shown; }
  void ShowProgress() override;
  void SetPercent(int percent) override { percents.push_back(percent); }
  void SetToolTip(const QString& text) override { toolTips << text; }
  void ProcessEvents() override;
  bool Cancelled() const override { return cancelled; }
  void Unload() override { ++unloaded; cancelled = true; }
  void DocumentProgress(qint64 done, qint64) override {
    if (cancelAfterDocuments >= 0 && done >= cancelAfterDocuments) cancelled = true;
  }
};

// German locale and a fixed clock for the lifetime of the object.
class PinnedLocaleAndClock {
 public:
  explicit PinnedLocaleAndClock(const QDateTime& now = QDateTime(QDate(2026, 12, 5), QTime(18, 24, 3)),
                                QLocale locale = QLocale(QLocale::German, QLocale::Germany));
  ~PinnedLocaleAndClock();
  void SetNow(const QDateTime& now) { now_ = now; }

 private:
  QDateTime now_;
  QLocale previous_;
};

// A found-documents list of paths (each split at its last separator).
FoundDocuments Found(const QStringList& paths);

// Writes text (UTF-8) to path, creating folders; returns false on failure.
bool WriteTextFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFileBytes(const QString& path);

// Folder of the built programs (TBX_BIN_DIR) and tools (TBX_TOOLS_DIR).
QString BinDir();
QString ToolsDir();
QString SourceDir();

}  // namespace tbx::test
