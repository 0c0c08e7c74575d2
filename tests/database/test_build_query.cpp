// The document query from the [SQL] keys, and its messages.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "database/modDatabase.h"

namespace tbx {
namespace {

struct QueryCase {
  const char* ini;        // body of section [SQL]
  const char* statement;  // expected result
  const char* message;    // expected dialog text, "" for none
};

class BuildQueryTest : public testing::TestWithParam<QueryCase> {
 protected:
  QTemporaryDir dir_;
  const QString ini_ = dir_.path() + QStringLiteral("/bericht.ini");  // any name, as in batch runs
  test::FakeDialogs dialogs_;
};

TEST_P(BuildQueryTest, StatementAndMessage) {
  const QueryCase& c = GetParam();
  ASSERT_TRUE(test::WriteTextFile(ini_, QByteArray("[SQL]\n") + c.ini));
  EXPECT_EQ(BuildQuery(TheDialogs(), QStringLiteral("SQL"), LoadProfile(ini_)), QString::fromUtf8(c.statement));
  const QString message = QString::fromUtf8(c.message);
  if (message.isEmpty()) {
    EXPECT_TRUE(dialogs_.calls.empty());
    return;
  }
  ASSERT_EQ(dialogs_.calls.size(), 1u);
  EXPECT_EQ(dialogs_.calls[0].kind, QStringLiteral("info"));
  EXPECT_EQ(dialogs_.calls[0].text, message);
  EXPECT_EQ(dialogs_.calls[0].title, ini_);
  EXPECT_EQ(dialogs_.calls[0].buttons, 16);
  EXPECT_EQ(dialogs_.calls[0].icon, 16);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BuildQueryTest,
    testing::Values(
        QueryCase{"Select=DOC_NR\nFrom=DOCUMENTS\nWhere=FILE_NAME='%Id'\n",
                  "select DOC_NR from DOCUMENTS where FILE_NAME='%Id'", ""},
        QueryCase{"Select=DOC_NR\nFrom=DOCUMENTS\nWhere=FILE_NAME='%Id'\nOrder=DOC_NR\n",
                  "select DOC_NR from DOCUMENTS where FILE_NAME='%Id' order by DOC_NR", ""},
        QueryCase{"From=DOCUMENTS\nWhere=x\n", "", "[SQL ]\\Select nicht angegeben"},
        QueryCase{"Select=DOC_NR\nWhere=x\nOrder=y\n", "", "[SQL]\\From nicht angegeben"},
        QueryCase{"Select=DOC_NR\nFrom=DOCUMENTS\nOrder=y\n", "", "[SQL]\\Where nicht angegeben"},
        QueryCase{"", "", "[SQL ]\\Select nicht angegeben"}));

}  // namespace
}  // namespace tbx
