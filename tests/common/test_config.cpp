#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TestSupport.h"
#include "common/Config.h"
#include "common/ConfigLocation.h"
#include "common/ProgramInfo.h"

using namespace tbx;

TEST(Config, IsYes) {
  struct Case { const char* value; bool defaultValue; bool expected; };
  const Case cases[] = {
      {"JA", false, true},     {"Yes", false, true},    {"wahr", false, true},
      {"1", false, true},      {"TRUE", false, true},   {"nein", true, false},
      {"0", true, false},      {"-1", true, false},     {"y", true, false},
      {"on", true, false},     {"", true, true},        {"", false, false},
      {"yes true", false, true},  // several list words in list order
      {"ja true", false, false},  // not neighbours in the list
      {" ja", false, false},      // the value is not trimmed here
      {"a", false, false},        // parts of words do not count
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsYes(QString::fromUtf8(c.value), c.defaultValue), c.expected) << "'" << c.value << "'";
}

// Only a copy outside /usr looks for ZireVuz.ini beside itself; an unpacked
// package is installed where it lies.
TEST(Config, PortableCopyIsAnyFolderButUsr) {
  struct Case { const char* folder; bool portable; };
  const Case cases[] = {{"/usr/bin", false}, {"/usr/local/bin", false}, {"/usr", false},
                        {"/tmp/paket/usr/bin", false}, {"/usrx/bin", true}, {"/opt/tabellix", true},
                        {"/home/k/tabellix", true}, {"/home/k/usr/bin-alt", true}};
  for (const Case& c : cases) EXPECT_EQ(IsPortableCopy(QString::fromLatin1(c.folder)), c.portable) << c.folder;
}

// A portable copy keeps log and workbook beside its configuration; an
// installed one does where the platform says so; either falls back to the
// state and documents folders when the configuration's folder is read-only.
TEST(Config, LogAndBareWorkbookGoWhereThePlatformKeepsThem) {
  struct Case { bool portable, writable, installedBeside; const char* log; const char* workbook; };
  const Case cases[] = {
      {true, true, false, "/cfg", "/cfg"},     {true, false, false, "/state", "/docs"},
      {false, true, false, "/state", "/docs"}, {false, false, false, "/state", "/docs"},
      {false, true, true, "/cfg", "/cfg"},     {false, false, true, "/state", "/docs"},
  };
  for (const Case& c : cases) {
    const FilePlaces places = ChooseFilePlaces({QStringLiteral("/cfg"), c.portable, c.writable, c.installedBeside,
                                                QStringLiteral("/state"), QStringLiteral("/docs")});
    EXPECT_EQ(places.log, QLatin1String(c.log)) << c.portable << c.writable << c.installedBeside;
    EXPECT_EQ(places.workbook, QLatin1String(c.workbook)) << c.portable << c.writable << c.installedBeside;
  }
}

TEST(Config, WithTrailingBackslashWithEitherSeparator) {
  struct Case { const char* path; char16_t sep; const char* expected; };
  const Case cases[] = {
      {"C:\\Daten", u'\\', "C:\\Daten\\"}, {"C:\\Daten\\", u'\\', "C:\\Daten\\"},
      {"C:/Daten/", u'\\', "C:/Daten/\\"},  // "/" is no separator there
      {"", u'\\', ""},                     {"/daten", u'/', "/daten/"},
      {"/daten/", u'/', "/daten/"},        {"/", u'/', "/"},
      {"C:\\Daten\\", u'/', "C:\\Daten\\/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WithTrailingBackslash(c.path, QChar(c.sep)), QString(c.expected)) << c.path;
  EXPECT_EQ(WithTrailingBackslash("/a"), "/a/");
}

TEST(Config, ReadsThroughTheConfigurationPath) {
  QTemporaryDir dir;
  SetProgramFolder(dir.path());
  EXPECT_EQ(ConfigurationPath(), dir.path() + "/ZireVuz.ini");

  // Without the file every value is "" and every key list empty.
  EXPECT_EQ(ReadIniValue("Config", "WriteLog", ConfigurationPath()), "");
  EXPECT_TRUE(ReadIniKeys("MapProperties", ConfigurationPath()).isEmpty());

  ASSERT_TRUE(test::WriteTextFile(ConfigurationPath(),
                                  "[Config]\nPattern=\nmaxRange = 2000 \n"
                                  "[MapProperties]\nB=Titel\nA=Autor#L20\n[Criteria]\n"));
  EXPECT_EQ(ReadIniValue("config", "Pattern", ConfigurationPath()), "");
  EXPECT_EQ(ReadIniValue("Config", "maxRange", ConfigurationPath()), "2000");
  EXPECT_EQ(ReadIniKeys("MapProperties", ConfigurationPath()), QStringList({"B", "A"}));
  EXPECT_TRUE(ReadIniKeys("Criteria", ConfigurationPath()).isEmpty());
  SetProgramFolder(QString());
}

TEST(Config, KeyListThatOverflowsEndsEarly) {
  QTemporaryDir dir;
  const QString file = dir.path() + "/big.ini";
  QByteArray text = "[S]\n";
  for (int i = 0; i < 4000; ++i) text += QByteArray("key") + QByteArray::number(100000 + i) + "=v\n";
  ASSERT_TRUE(test::WriteTextFile(file, text));
  const QStringList keys = ReadIniKeys("S", file);
  // 31998 characters of 10-character entries: 3199 whole names and a cut one.
  ASSERT_EQ(keys.size(), 3200);
  EXPECT_EQ(keys.first(), "key100000");
  // The buffer ends inside key103199 and the dropped last character is one of its own.
  EXPECT_EQ(keys.last(), "key1031");
}

TEST(Config, SampleConfigurationReadsAsDocumented) {
  const QString sample = test::SourceDir() + "/examples/ZireVuz.ini";
  ASSERT_TRUE(QFile::exists(sample)) << sample.toStdString();
  EXPECT_TRUE(IsYes(ReadIniValue("Config", "WriteLog", sample), false));
  EXPECT_EQ(ReadIniValue("Config", "Pattern", sample), "par psm asm dft");
  EXPECT_EQ(ReadIniKeys("MapProperties", sample), QStringList({"C", "D", "E", "F", "G", "H", "I"}));
  EXPECT_EQ(ReadIniValue("MapProperties", "D", sample), "Autor#L20");
  EXPECT_EQ(ReadIniValue("SQL", "Where", sample), "LOWER(DATEINAME)='%Id'");
  EXPECT_EQ(ReadIniValue("SQL", "Order", sample), "");
  EXPECT_EQ(ReadIniKeys("Dokumentnummer", sample), QStringList({"Format0"}));
}
