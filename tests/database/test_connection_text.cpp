// Connection texts: taking them apart, choosing the driver, hiding the password.
#include <gtest/gtest.h>

#include "database/ConnectionText.h"
#include "database/modDatabase.h"
#include "platform/DatabaseConnection.h"

namespace tbx {
namespace {

struct ParseCase {
  const char* text;
  const char* provider;
  const char* dataSource;
  const char* userId;
  const char* password;
  const char* database;
};

class ParseConnectionTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseConnectionTextTest, Parts) {
  const ParseCase& c = GetParam();
  const ConnectionText t = ParseConnectionText(QString::fromUtf8(c.text));
  EXPECT_EQ(t.provider, QString::fromUtf8(c.provider));
  EXPECT_EQ(t.dataSource, QString::fromUtf8(c.dataSource));
  EXPECT_EQ(t.userId, QString::fromUtf8(c.userId));
  EXPECT_EQ(t.password, QString::fromUtf8(c.password));
  EXPECT_EQ(t.database, QString::fromUtf8(c.database));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseConnectionTextTest,
    testing::Values(
        ParseCase{"Provider=SQLOLEDB;Data Source=srv;User ID=sa;Password=geheim;Database=Konstruktion;", "SQLOLEDB",
                  "srv", "sa", "geheim", "Konstruktion"},
        ParseCase{"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\db.mdb;User ID=u;Password=p;",
                  "Microsoft.Jet.OLEDB.4.0", "C:\\db.mdb", "u", "p", ""},
        // A semicolon inside a value stays in it.
        ParseCase{"Provider=PostgreSQL;Data Source=h;User ID=u;Password=Lese;Recht 42;Database=d;", "PostgreSQL", "h",
                  "u", "Lese;Recht 42", "d"},
        ParseCase{"Provider=SQLite;Data Source=a.db;User ID=u;Password=p;;", "SQLite", "a.db", "u", "p;", ""},
        // Unknown keys reach no driver: they stay part of the value before them.
        ParseCase{"Provider=SQLite;Data Source=a.db;Mode=ReadWrite;User ID=u;Password=p;", "SQLite",
                  "a.db;Mode=ReadWrite", "u", "p", ""},
        // Keys without regard to case and blanks; the first of two counts.
        ParseCase{"provider=X; DATA SOURCE =ds;uid=u;PWD=p;database=d;Database=e;", "X", "ds", "u", "p", "d"},
        ParseCase{"", "", "", "", "", ""}));

TEST(MaskPassword, HidesEveryPasswordValueAndKeepsTheRest) {
  const struct {
    const char* text;
    const char* masked;
  } cases[] = {
      {"Provider=SQLOLEDB;Data Source=srv;User ID=sa;Password=geheim;Database=K;",
       "Provider=SQLOLEDB;Data Source=srv;User ID=sa;Password=***;Database=K;"},
      {"Provider=P;Data Source=h;User ID=u;Password=Lese;Recht 42;", "Provider=P;Data Source=h;User ID=u;Password=***;"},
      {"Provider=P;PWD=a;Password=b;", "Provider=P;PWD=***;Password=***;"},
      {"Provider=P;Data Source=h;", "Provider=P;Data Source=h;"},
  };
  for (const auto& c : cases) EXPECT_EQ(MaskPassword(QString::fromUtf8(c.text)), QString::fromUtf8(c.masked)) << c.text;
}

TEST(DriverForProvider, ByNamePart) {
  const struct {
    const char* provider;
    DatabaseDriver driver;
  } cases[] = {
      {"SQLite", DatabaseDriver::Sqlite},          {"System.Data.SQLITE", DatabaseDriver::Sqlite},
      {"PostgreSQL", DatabaseDriver::Postgres},    {"PGSQL", DatabaseDriver::Postgres},
      {"postgres", DatabaseDriver::Postgres},      {"SQLOLEDB", DatabaseDriver::Odbc},
      {"MSDASQL", DatabaseDriver::Odbc},           {"MSDAORA", DatabaseDriver::Odbc},
      {"Microsoft.Jet.OLEDB.4.0", DatabaseDriver::Odbc},
  };
  for (const auto& c : cases) EXPECT_EQ(DriverForProvider(QString::fromUtf8(c.provider)), c.driver) << c.provider;
}

// DataSource as Windows users write it: a data source name, or a whole
// ODBC connection string, which reaches the driver unchanged (QODBC puts
// "DSN=" before a string without DRIVER= or SERVER=, "FILEDSN=" before one
// with ".dsn"), followed by the login.
TEST(LoginForSettings, OdbcDataSourceIsANameOrAWholeConnectionString) {
  const struct {
    const char* dataSource;
    const char* provider;
    const char* database;
    const char* given;  // to QODBC
  } cases[] = {
      {"Konstruktion", "MSDASQL", "", "Konstruktion;UID=leser;PWD={ge;heim};ReadOnly=1"},
      {"Driver={SQLite3};Database=C:\\Daten\\k.db", "MSDASQL", "",
       "Driver={SQLite3};Database=C:\\Daten\\k.db;UID=leser;PWD={ge;heim};ReadOnly=1"},
      {"DSN=Konstruktion;APP=Tabellix;", "MSDASQL", "", "Konstruktion;APP=Tabellix;UID=leser;PWD={ge;heim};ReadOnly=1"},
      {"UID=u;dsn=Konstruktion", "MSDASQL", "", "Konstruktion;UID=u;UID=leser;PWD={ge;heim};ReadOnly=1"},
      {"FILEDSN=\\\\srv\\dsn\\k.dsn", "MSDASQL", "", "\\\\srv\\dsn\\k.dsn;UID=leser;PWD={ge;heim};ReadOnly=1"},
      {"Driver={ODBC Driver 17 for SQL Server};Server=srv;Encrypt=yes", "SQLOLEDB", "konstruktion",
       "Driver={ODBC Driver 17 for SQL Server};Server=srv;Encrypt=yes;DATABASE=konstruktion;UID=leser;PWD={ge;heim};"
       "ReadOnly=1"},
  };
  for (const auto& c : cases) {
    const DatabaseLogin login = LoginForSettings(QString::fromUtf8(c.dataSource), QStringLiteral("leser"),
                                                 QStringLiteral("ge;heim"), QString::fromUtf8(c.provider),
                                                 QString::fromUtf8(c.database));
    EXPECT_EQ(login.driver, DatabaseDriver::Odbc) << c.dataSource;
    EXPECT_EQ(OdbcConnectionString(login), QString::fromUtf8(c.given)) << c.dataSource;
  }
}

}  // namespace
}  // namespace tbx
