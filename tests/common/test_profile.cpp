#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include "TestSupport.h"
#include "platform/FileSystem.h"
#include "common/Profile.h"
#include "text/Encodings.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace tbx;

namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

const char* const kSample =
    "; comment line = not a key\n"
    "[Config]\n"
    "WriteLog = ja  \n"
    "GUI=\n"
    "Quoted=\"  a b \"\n"
    "Single='x'\n"
    "Mixed=\"x'\n"
    "Lone=\"\n"
    "Eq=a=b\n"
    "  ;Hidden=1\n"
    "no equals sign here\n"
    "=orphan value\n"
    "Tab\t=\tvalue\t\n"
    "gui=second\n"
    "[pfade]\r\n"
    "SourceDir=C:\\Daten\r\n"
    "[CONFIG]\n"
    "WriteLog=nein\n"
    "Late=1\n"
    "[Keys]\n"
    "B=1\n"
    "A=2\n"
    "b=3\n"
    "[Empty]\n"
    "[ Spaced ]\n"
    "k=v\n";

}  // namespace

TEST(Profile, ProfileRules) {
  struct Case { const char* section; const char* key; const char* expected; };
  const Case cases[] = {
      {"Config", "WriteLog", "ja"},        // blanks around the value removed
      {"config", "WRITELOG", "ja"},        // names without regard to case
      {"Config", "GUI", ""},               // nothing after "=" reads as absent
      {"Config", "Quoted", "  a b "},      // one pair of quotes removed, blanks inside kept
      {"Config", "Single", "x"},
      {"Config", "Mixed", "\"x'"},         // quotes that do not match stay
      {"Config", "Lone", "\""},
      {"Config", "Eq", "a=b"},             // the value starts after the first "="
      {"Config", ";Hidden", ""},           // comments are no keys
      {"Config", "Tab", "value"},
      {"Config", "Late", ""},              // only the first matching section counts
      {"Pfade", "SourceDir", "C:\\Daten"}, // CR LF line ends
      {"Keys", "b", "1"},                  // first matching key wins
      {"Spaced", "k", "v"},
      {"Missing", "WriteLog", ""},
      {"Config", "Missing", ""},
  };
  const QString text = Text(kSample);
  for (const Case& c : cases)
    EXPECT_EQ(Profile::Parse(text).Value(Text(c.section), Text(c.key)), Text(c.expected))
        << c.section << "/" << c.key;
}

TEST(Profile, KeyNamesAsWrittenInFileOrder) {
  const QString text = Text(kSample);
  EXPECT_EQ(Profile::Parse(text).KeyNames("keys"), QString::fromLatin1("B\0A\0b\0", 6));
  EXPECT_EQ(Profile::Parse(text).KeyNames("Empty"), "");
  EXPECT_EQ(Profile::Parse(text).KeyNames("Missing"), "");
}

TEST(Profile, ResultsAreCutLikeTheBuffer) {
  const QString longValue(40000, u'x');
  EXPECT_EQ(Profile::Parse("[S]\nk=" + longValue + "\n").Value("S", "k").size(), 31999);

  // 4000 names of 9 characters plus NUL need 40000 characters: 31998 are delivered.
  QString text = "[S]\n";
  for (int i = 0; i < 4000; ++i) text += QString("key%1=v\n").arg(i, 6, 10, QChar(u'0'));
  const QString names = Profile::Parse(text).KeyNames("S");
  EXPECT_EQ(names.size(), kProfileBufferSize - 2);
  EXPECT_TRUE(names.startsWith(QString::fromLatin1("key000000\0key000001\0", 20)));
}

TEST(Profile, EncodingByByteOrderMarkElseUtf8OrWindows1252) {
  const struct {
    QByteArray bytes;
    const char* text;
  } cases[] = {
      {"\xEF\xBB\xBF[A]\nk=St\xC3\xBC" "ck", "[A]\nk=Stück"},
      {"k=St\xFC" "ck \x80 \x9F \x81", "k=Stück € Ÿ \xC2\x81"},
      {"", ""},
      // What Windows Notepad saves as "Unicode", and its big-endian twin.
      {QByteArray("\xFF\xFE[\0A\0]\0\n\0k\0=\0\xFC\0", 16), "[A]\nk=ü"},
      {QByteArray("\xFE\xFF\0[\0A\0]\0\n\0k\0=\0\xFC", 16), "[A]\nk=ü"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeTextFile(c.bytes), Text(c.text)) << c.text;
}

TEST(Profile, HostileFilesGiveNothing) {
  QTemporaryDir dir;
  const QString d = dir.path() + "/";
  QByteArray binary;
  for (int i = 0; i < 70000; ++i) binary += static_cast<char>((i * 7919) % 256);
  ASSERT_TRUE(test::WriteTextFile(d + "binary.ini", binary));
  ASSERT_TRUE(test::WriteTextFile(d + "nul.ini", QByteArray("[A]\nk=v\0w\n\0\0[B]\nx=1\n", 20)));
  ASSERT_TRUE(test::WriteTextFile(d + "long.ini", "[A]\nk=" + QByteArray(100000, 'y') + "\n[" +
                                                       QByteArray(100000, 'z') + "\n"));
  ASSERT_TRUE(test::WriteTextFile(d + "empty.ini", ""));
  ASSERT_TRUE(QDir().mkpath(d + "folder.ini"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(d + "fifo.ini").constData(), 0600), 0);

  for (const char* name : {"missing.ini", "empty.ini", "folder.ini", "fifo.ini", "binary.ini"}) {
    EXPECT_EQ(ReadProfileString(d + name, "A", "k"), "") << name;
    EXPECT_EQ(ReadProfileKeyNames(d + name, "A"), "") << name;
  }
  EXPECT_EQ(ReadProfileString(d + "nul.ini", "A", "k"), "v");  // a NUL ends the line
  EXPECT_EQ(ReadProfileString(d + "nul.ini", "B", "x"), "");  // its header line began with NUL
  EXPECT_EQ(ReadProfileString(d + "long.ini", "A", "k").size(), 31999);

  ASSERT_TRUE(test::WriteTextFile(d + "locked.ini", "[A]\nk=v\n"));
  InjectFileSystemErrorForTests(FsCall::Read, EACCES);
  EXPECT_EQ(ReadProfileString(d + "locked.ini", "A", "k"), "");
  InjectFileSystemErrorForTests(FsCall::Read, 0);
  EXPECT_EQ(ReadProfileString(d + "locked.ini", "A", "k"), "v");
}

TEST(Profile, EveryReadSeesTheFileAsItIsNow) {
  QTemporaryDir dir;
  const QString a = dir.path() + "/a.ini", b = dir.path() + "/b.ini";
  ASSERT_TRUE(test::WriteTextFile(a, "[S]\nk=eins\n"));
  ASSERT_TRUE(test::WriteTextFile(b, "[S]\nk=zwei\n"));
  QThread::msleep(2200);  // old enough for the reader to keep the parsed file
  EXPECT_EQ(ReadProfileString(a, "S", "k"), "eins");
  EXPECT_EQ(ReadProfileString(a, "S", "k"), "eins");
  EXPECT_EQ(ReadProfileString(b, "S", "k"), "zwei");
  ASSERT_TRUE(test::WriteTextFile(a, "[S]\nk=drei\n"));  // same size, moments later
  EXPECT_EQ(ReadProfileString(a, "S", "k"), "drei");
  ASSERT_TRUE(QFile::remove(b));
  EXPECT_EQ(ReadProfileString(b, "S", "k"), "");
}
