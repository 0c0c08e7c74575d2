#include <gtest/gtest.h>

#include "common/TextForm.h"

using namespace tbx;

namespace {
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
}  // namespace

TEST(TextForm, GermanDatesHaveFourDigitYearsAndDropMidnight) {
  EXPECT_EQ(ShortDateText(QDate(2026, 12, 5), kGerman), "05.12.2026");
  EXPECT_EQ(GeneralDateText(QDateTime(QDate(2026, 12, 5), QTime(18, 24, 3)), kGerman),
            "05.12.2026 18:24:03");
  EXPECT_EQ(GeneralDateText(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0)), kGerman), "05.12.2026");
  EXPECT_EQ(GeneralDateText(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 1)), kGerman),
            "05.12.2026 00:00:01");
}

TEST(TextForm, NumbersAreNeverGrouped) {
  struct Case { double value; const char* german; const char* english; };
  const Case cases[] = {
      {1031, "1031", "1031"}, {1.5, "1,5", "1.5"}, {-1234567.25, "-1234567,25", "-1234567.25"},
      {0.1 + 0.2, "0,3", "0.3"}, {1e20, "1E+20", "1E+20"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RealText(c.value, kGerman), QString::fromUtf8(c.german)) << c.value;
    EXPECT_EQ(RealText(c.value, kEnglish), QString::fromUtf8(c.english)) << c.value;
  }
  EXPECT_EQ(IntegerText(1031, kGerman), "1031");
  EXPECT_EQ(IntegerText(-2147483648LL, kGerman), "-2147483648");
  EXPECT_EQ(UnsignedText(4294967295ULL, kGerman), "4294967295");
}

TEST(TextForm, BooleansFollowTheLanguage) {
  EXPECT_EQ(BoolText(true, kGerman), "Wahr");
  EXPECT_EQ(BoolText(false, kGerman), "Falsch");
  EXPECT_EQ(BoolText(true, kEnglish), "True");
  EXPECT_EQ(BoolText(false, kEnglish), "False");
}

TEST(TextForm, ThePosixCLocaleWritesIsoDates) {
  const QLocale c = QLocale::c();
  EXPECT_EQ(ShortDateText(QDate(2026, 12, 5), c), "2026-12-05");
  EXPECT_EQ(GeneralDateText(QDateTime(QDate(2026, 12, 5), QTime(18, 24, 3)), c), "2026-12-05 18:24:03");
  EXPECT_EQ(GeneralDateText(QDateTime(QDate(2026, 12, 5), QTime(0, 0, 0)), c), "2026-12-05");
  EXPECT_EQ(RealText(1.5, c), "1.5");
  EXPECT_EQ(BoolText(true, c), "True");
}
