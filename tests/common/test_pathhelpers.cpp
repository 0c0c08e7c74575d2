#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "TabellixVersion.h"
#include "common/PathHelpers.h"

using namespace tbx;

TEST(PathHelpers, PathPartWithEitherSeparator) {
  struct Case { const char* path; const char* dir; const char* file; const char* base; const char* ext; };
  // Written with "\"; each case is also run with "/" in its place.
  const Case cases[] = {
      {"C:\\Daten\\Teil.par", "C:\\Daten\\", "Teil.par", "Teil", "par"},
      {"Teil.par", "", "Teil.par", "Teil", "par"},
      {"C:\\Daten\\", "C:\\Daten\\", "C:\\Daten\\", "C:\\Daten\\", ""},
      {"archiv.tar.gz", "", "archiv.tar.gz", "archiv.tar", "gz"},
      {".profile", "", ".profile", "", "profile"},
      {"C:\\Version1.5\\liesmich", "C:\\Version1.5\\", "liesmich", "liesmich", "5\\liesmich"},
      {"Teil.", "", "Teil.", "Teil.", ""},
      {"", "", "", "", ""},
      {"\\", "\\", "\\", "\\", ""},
  };
  for (const char16_t sep : {u'\\', u'/'}) {
    const auto form = [sep](const char* text) { return QString(text).replace(u'\\', QChar(sep)); };
    for (const Case& c : cases) {
      const QString path = form(c.path);
      EXPECT_EQ(PathPart(path, DirectoryPart, QChar(sep)), form(c.dir)) << c.path;
      EXPECT_EQ(PathPart(path, FileNamePart, QChar(sep)), form(c.file)) << c.path;
      EXPECT_EQ(PathPart(path, BaseNamePart, QChar(sep)), form(c.base)) << c.path;
      EXPECT_EQ(PathPart(path, ExtensionPart, QChar(sep)), form(c.ext)) << c.path;
    }
  }
  // The other character is no separator.
  EXPECT_EQ(PathPart("C:/Daten/Teil.par", FileNamePart, QChar(u'\\')), "C:/Daten/Teil.par");
  EXPECT_EQ(PathPart("/daten/Teil.par", DirectoryPart), "/daten/");
}

TEST(PathHelpers, MatchFormat) {
  struct Case { const char* value; const char* pattern; bool expected; };
  const Case cases[] = {
      {"12-345", "99-999", true},  {"12/345", "99-999", false}, {"1a-345", "99-999", false},
      {"12-3456", "99-999", false}, {"ab1", "!!9", true},       {"AB1", "!!9", true},
      {"äb1", "!!9", false},       {"a1B", "***", true},        {"a-B", "***", false},
      {"12 ", "99", true},         {" 12", "99", false},        {"12  ", "99", true},
      {"", "", true},              {"   ", "", true},           {"", "9", false},
      {"   ", "9", false},         {"1", "", false},            {"a12", "A99", false},
      {"A12", "A99", true},        {"1", "99", false},          {"١٢", "99", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MatchFormat(QString::fromUtf8(c.value), QString::fromUtf8(c.pattern)), c.expected)
        << "'" << c.value << "' ~ '" << c.pattern << "'";
}

TEST(PathHelpers, CharacterClassesAreAscii) {
  struct Case { const char* text; bool digits; bool letters; };
  const Case cases[] = {
      {"", false, false},   {"0129", true, false}, {"azAZ", false, true}, {"a1", false, false},
      {"ß", false, false},  {"Ä", false, false},   {"²", false, false},   {" ", false, false},
      {"@[`{", false, false}, {"/:", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsDigitsOnly(QString::fromUtf8(c.text)), c.digits) << c.text;
    EXPECT_EQ(IsLettersOnly(QString::fromUtf8(c.text)), c.letters) << c.text;
  }
}

TEST(PathHelpers, PathExistsTellsFilesFromFoldersOnlyWithMaskZero) {
  QTemporaryDir dir;
  const QString d = dir.path() + "/";
  ASSERT_TRUE(test::WriteTextFile(d + "Out/Liste.xls", "x"));
  EXPECT_TRUE(PathExists(d + "Out", 16));
  EXPECT_TRUE(PathExists(d + "Out/", 16));
  EXPECT_FALSE(PathExists(d + "Out", 0));
  EXPECT_TRUE(PathExists(d + "Out/Liste.xls", 0));
  EXPECT_TRUE(PathExists(d + "Out/Liste.xls", 16));
  EXPECT_TRUE(PathExists(d + "Out/*.xls", 0));
  EXPECT_FALSE(PathExists(d + "Fehlt/Liste.xls", 0));
  EXPECT_FALSE(PathExists("", 16));
  EXPECT_FALSE(PathExists(d + "Out/Liste.xls/x", 16));  // a file as folder: no error, false
}

TEST(PathHelpers, ArrayLastOffsetAndTitle) {
  EXPECT_EQ(ArrayLastOffset({"a", "b", "c"}), 2);
  EXPECT_EQ(ArrayLastOffset(QString().split(u'\0', Qt::SkipEmptyParts)), -1);
  EXPECT_EQ(ArrayLastOffset(QStringList()), -1);
  QStringList huge;
  for (int i = 0; i < 40000; ++i) huge << "k";
  EXPECT_EQ(ArrayLastOffset(huge), 32767);
  EXPECT_EQ(TitleAndVersion(), QString("Tabellix %1.%2.%3")
                                   .arg(TABELLIX_VERSION_MAJOR)
                                   .arg(TABELLIX_VERSION_MINOR)
                                   .arg(TABELLIX_VERSION_PATCH));
}
