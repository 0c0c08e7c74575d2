#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <unistd.h>

#include "TestSupport.h"
#include "common/FirstMatch.h"
#include "common/SystemErrorText.h"

using namespace tbx;

namespace {

class FirstMatchTest : public ::testing::Test {
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
  QString Find(const QString& rel, int mask) {
    QString name;
    (void)FindFirstEntry(root_ + rel, mask, name);
    return name;
  }
  QTemporaryDir dir_;
  QString root_;
};

}  // namespace

TEST_F(FirstMatchTest, FirstMatchLookup) {
  struct Case { const char* path; int mask; const char* found; };
  const Case cases[] = {
      {"Liste.xls", 0, "Liste.xls"},
      {"Liste.xls", 16, "Liste.xls"},
      {"liste.xls", 0, ""},              // POSIX names keep their case
      {"Ordner.1", 0, ""},               // a folder is no plain file
      {"Ordner.1", 16, "Ordner.1"},
      {"Ordner.1/", 16, "."},            // a folder's entries start with "."
      {"leer/", 16, "."},
      {"leer/", 0, ""},
      {"Ordner.1/", 0, "Teil.par"},
      {".versteckt.xls", 0, ""},         // hidden entries are not found
      {".hidden", 16, ""},
      {".hidden/", 16, "."},             // inside a hidden folder is fine
      {"*.xls", 0, "Liste.xls"},
      {"L?ste.*", 0, "Liste.xls"},
      {"*.par", 0, ""},
      {"Ordner.1/*.*", 0, "Teil.par"},
      {"Ordner.?", 16, "Ordner.1"},
      {"link", 16, "link"},              // links count as what they point to
      {"link/Teil.par", 0, "Teil.par"},
      {"fehlt/Liste.xls", 16, ""},
      {"fehlt/*", 16, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.path, c.mask), QString(c.found)) << c.path;
  QString name;
  EXPECT_NE(FindFirstEntry(root_ + "fehlt/*", 16, name), 0);
  EXPECT_NE(FindFirstEntry("", 16, name), 0);
}

TEST(FileSystemErrors, ClassicNumbersAndGermanTexts) {
  const RunError e = FileSystemError(EACCES, "/x/Liste.xls");
  EXPECT_EQ(e.number(), 70);
  EXPECT_EQ(e.description(), "Zugriff verweigert: /x/Liste.xls");
  EXPECT_EQ(FileSystemError(ENOSPC, "d").number(), 61);
  EXPECT_EQ(FileSystemError(ENOENT, "d").number(), 53);
}
