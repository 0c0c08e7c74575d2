#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <map>

#include "TestSupport.h"
#include "platform/FileChangeWatch.h"
#include "platform/FileSystem.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace tbx;

namespace {

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path() + "/";
    ASSERT_TRUE(test::WriteTextFile(root_ + "Liste.xls", "x"));
    ASSERT_TRUE(test::WriteTextFile(root_ + ".versteckt.xls", "x"));
    ASSERT_TRUE(test::WriteTextFile(root_ + "Ordner.1/Teil.par", "x"));
    ASSERT_TRUE(QDir().mkpath(root_ + ".hidden"));
    ASSERT_TRUE(QDir().mkpath(root_ + "leer"));
    ASSERT_EQ(::symlink("Ordner.1", QFile::encodeName(root_ + "link").constData()), 0);
  }
  void TearDown() override {
    ClearInjectedFileSystemErrors();
    SetCreationTimeSourceForTests({});
  }
  QTemporaryDir dir_;
  QString root_;
};

}  // namespace

TEST_F(FileSystemTest, ListingReportsKindsAndLinks) {
  std::vector<DirectoryEntry> entries;
  ASSERT_EQ(ListDirectory(root_, entries), 0);
  std::map<QString, DirectoryEntry> byName;
  for (const auto& e : entries) byName[e.name] = e;
  ASSERT_EQ(byName.size(), 6u);
  EXPECT_EQ(byName["Liste.xls"].kind, EntryKind::File);
  EXPECT_EQ(byName["Ordner.1"].kind, EntryKind::Directory);
  EXPECT_EQ(byName["link"].kind, EntryKind::Directory);
  EXPECT_TRUE(byName["link"].isLink);
  EXPECT_TRUE(byName[".hidden"].hidden);
  EXPECT_EQ(ListDirectory(root_ + "fehlt", entries), ENOENT);

  InjectFileSystemErrorForTests(FsCall::List, EACCES);
  EXPECT_EQ(ListDirectory(root_, entries), EACCES);
}

TEST_F(FileSystemTest, RenameNeverReplaces) {
  ASSERT_TRUE(test::WriteTextFile(root_ + "Alt.xls", "alt"));
  EXPECT_EQ(RenameEntry(root_ + "Liste.xls", root_ + "Alt.xls"), EEXIST);
  EXPECT_EQ(test::ReadFileBytes(root_ + "Alt.xls"), "alt");
  EXPECT_EQ(RenameEntry(root_ + "Liste.xls", root_ + "Neu.xls"), 0);
  EXPECT_TRUE(QFileInfo::exists(root_ + "Neu.xls"));
  EXPECT_EQ(RenameEntry(root_ + "Liste.xls", root_ + "X.xls"), ENOENT);
}

TEST_F(FileSystemTest, LinkAndAppend) {
  const QString file = root_ + "Liste.xls";
  EXPECT_EQ(LinkEntry(file, root_ + "Zweitname.xls"), 0);
  EXPECT_EQ(test::ReadFileBytes(root_ + "Zweitname.xls"), "x");
  EXPECT_EQ(LinkEntry(file, root_ + "Zweitname.xls"), EEXIST);

  const QString log = root_ + "a.log";
  AppendFile append;
  ASSERT_EQ(append.Open(log), 0);
  EXPECT_EQ(append.Write("eins\n"), 0);
  EXPECT_EQ(append.Write("zwei\n"), 0);
  EXPECT_EQ(test::ReadFileBytes(log), "eins\nzwei\n");
  InjectFileSystemErrorForTests(FsCall::Append, ENOSPC);
  EXPECT_EQ(append.Write("drei\n"), ENOSPC);
  EXPECT_EQ(test::ReadFileBytes(log), "eins\nzwei\n");
}

TEST_F(FileSystemTest, BoundedReading) {
  QByteArray bytes;
  EXPECT_EQ(ReadFileBounded(root_ + "Liste.xls", 1, bytes), 0);
  EXPECT_EQ(bytes, "x");
  EXPECT_EQ(ReadFileBounded(root_ + "Liste.xls", 0, bytes), EFBIG);
  EXPECT_EQ(ReadFileBounded(root_ + "leer", 100, bytes), EISDIR);
  EXPECT_EQ(ReadFileBounded("/dev/zero", 100, bytes), EINVAL);
  EXPECT_TRUE(bytes.isEmpty());
}

TEST_F(FileSystemTest, CreationTimeIsNeverInvalidForAnExistingFile) {
  QDateTime created;
  ASSERT_EQ(FileCreationTime(root_ + "Liste.xls", created), 0);
  EXPECT_TRUE(created.isValid());
  EXPECT_LE(qAbs(created.secsTo(QDateTime::currentDateTime())), 3600);
  EXPECT_EQ(FileCreationTime(root_ + "fehlt.xls", created), ENOENT);

  const QDateTime fixed(QDate(2009, 3, 3), QTime(14, 5, 0));
  SetCreationTimeSourceForTests([&](const QString&) { return fixed; });
  ASSERT_EQ(FileCreationTime(root_ + "Liste.xls", created), 0);
  EXPECT_EQ(created, fixed);
}

// A watch answers false while nothing touched its file, true after every
// kind of change to the file and once stopped, and stays false for another
// file of the folder (the day's log beside the configuration).
TEST_F(FileSystemTest, ChangeWatchTellsChangesOfItsFileAlone) {
  const QString file = root_ + "Ordner.1/Teil.par";
  const struct {
    const char* what;
    std::function<void(FileChangeWatch&)> change;
    bool changed;
  } cases[] = {
      {"nothing", [](FileChangeWatch&) {}, false},
      {"another file written", [&](FileChangeWatch&) { test::WriteTextFile(root_ + "Ordner.1/Protokoll.log", "y"); }, false},
      {"written in place", [&](FileChangeWatch&) { test::WriteTextFile(file, "neu"); }, true},
      {"replaced by a rename", [&](FileChangeWatch&) {
         test::WriteTextFile(root_ + "Ordner.1/neu.tmp", "neu");
         QFile::remove(file);
         QFile::rename(root_ + "Ordner.1/neu.tmp", file);
       }, true},
      {"removed", [&](FileChangeWatch&) { QFile::remove(file); }, true},
      {"stopped", [](FileChangeWatch& watch) { watch.Stop(); }, true},
  };
  for (const auto& c : cases) {
    test::WriteTextFile(file, "x");
    FileChangeWatch watch(file);
    c.change(watch);
    EXPECT_EQ(watch.MayHaveChanged(), c.changed) << c.what;
    EXPECT_EQ(watch.MayHaveChanged(), c.changed) << c.what << ", asked again";
  }
}
