#include <gtest/gtest.h>

#include "TestSupport.h"
#include "common/RunLog.h"
#include "run/StartSettings.h"

using namespace tbx;

TEST(StartSettings, MaxRangeKeepsOnlyValidLimits) {
  struct Case { const char* text; int expected; };
  const Case cases[] = {
      {"", 65000},      {"1000", 65000},  {"65001", 65000}, {"abc", 65000},   {"1001", 1001},
      {" 2500 ", 2500}, {"65000", 65000}, {"-5", 65000},    {"0", 65000},     {"99999999999", 65000},
      {"1001,5", 1002}, {"1002,5", 1002}, {"12abc", 65000}, {"1.500", 1500},
  };
  test::PinnedLocaleAndClock german;  // decimal and group separators of the user's locale
  for (const Case& c : cases) EXPECT_EQ(MaxRangeFromText(c.text), c.expected) << c.text;
}

TEST(StartSettings, PatternDefaultsToEveryFile) {
  EXPECT_EQ(PatternFromText(""), "*");
  EXPECT_EQ(PatternFromText("   "), "*");
  EXPECT_EQ(PatternFromText(" par psm "), "par psm");
  EXPECT_EQ(PatternFromText("par  psm"), "par  psm");  // inner blanks matter to the scan
}

TEST(StartSettings, ReadFromConfig) {
  struct Case { const char* ini; bool log; bool gui; int maxRange; const char* pattern; };
  const Case cases[] = {
      {"", true, true, 65000, "*"},
      {"[Config]\nWriteLog=nein\nGUI=0\nmaxRange=1001\nPattern=par asm\n", false, false, 1001, "par asm"},
      {"[config]\nwritelog = JA \ngui=wahr\nMAXRANGE=\npattern=\n", true, true, 65000, "*"},
      {"[Config]\nWriteLog=\"yes\"\nGUI=y\n", true, false, 65000, "*"},
  };
  QTemporaryDir dir;
  for (const Case& c : cases) {
    RunState run;
    run.configPath = dir.path() + "/ZireVuz.ini";
    ASSERT_TRUE(test::WriteTextFile(run.configPath, c.ini));
    run.log.SetLogEnabled(!c.log);
    ReadStartSettings(run);
    EXPECT_EQ(run.log.LogEnabled(), c.log) << c.ini;
    EXPECT_EQ(run.gui, c.gui) << c.ini;
    EXPECT_EQ(run.maxRange, c.maxRange) << c.ini;
    EXPECT_EQ(run.pattern, c.pattern) << c.ini;
  }
}
