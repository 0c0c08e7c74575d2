#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/Clock.h"
#include "platform/PathSeparator.h"

namespace tbx::test {

FoundDocuments Found(const QStringList& paths) {
  FoundDocuments found;
  for (const QString& path : paths) {
    const qsizetype cut = path.lastIndexOf(QChar(kPathSeparator)) + 1;
    found.Add(found.AddFolder(path.left(cut)), QStringView(path).mid(cut));
  }
  return found;
}

int FakeDialogs::MessageBox(const QString& text, MessageButtons buttons, MessageIcon icon,
                            const QString& title) {
  calls.push_back({"message", text, title, static_cast<int>(buttons), static_cast<int>(icon)});
  if (!messageAnswers.empty()) {
    const int a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
  }
  return buttons == MessageButtons::YesNo ? kResultNo : kResultOk;
}

QString FakeDialogs::BrowseForFolder(const QString& prompt, const QString& startFolder) {
  calls.push_back({"folder", prompt, startFolder, 0, 0});
  if (folderAnswers.empty()) return QString();
  QString a = folderAnswers.front();
  folderAnswers.pop_front();
  return a;
}

QString FakeDialogs::SaveFileName(const SaveDialogRequest& request) {
  calls.push_back({"save", request.title, request.initialDir, 0, 0});
  lastSaveRequest = request;
  if (saveAnswers.empty()) return QString();
  QString a = saveAnswers.front();
  saveAnswers.pop_front();
  return a;
}

int FakeDialogs::ShowInfo(const QString& message, InfoButtons buttons, const QString& caption,
                          InfoPicture style) {
  calls.push_back({"info", message, caption, buttons, style});
  if (infoAnswers.empty()) return kResultOk;
  const int a = infoAnswers.front();
  infoAnswers.pop_front();
  return a;
}

void FakeProgress::SetStatus(const QString& text) {
  statuses << text;
  // Like the real window: a later access reloads it and clears the flag.
  cancelled = false;
}

void FakeProgress::ShowProgress() {
  ++progressShown;
  if (onShowProgress) onShowProgress();
}

void FakeProgress::ProcessEvents() {
  ++eventRounds;
}

PinnedLocaleAndClock::PinnedLocaleAndClock(const QDateTime& now, QLocale locale)
    : now_(now), previous_(QLocale()) {
  QLocale::setDefault(locale);
  SetClockForTests([this] { return now_; });
}

PinnedLocaleAndClock::~PinnedLocaleAndClock() {
  SetClockForTests({});
  QLocale::setDefault(previous_);
}

bool WriteTextFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

QByteArray ReadFileBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

QString BinDir() { return qEnvironmentVariable("TBX_BIN_DIR"); }
QString ToolsDir() { return qEnvironmentVariable("TBX_TOOLS_DIR"); }
QString SourceDir() { return qEnvironmentVariable("TBX_SOURCE_DIR"); }

}  // namespace tbx::test
