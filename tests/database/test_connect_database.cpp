// Opening the run's connection from the [ODBC] keys: the messages, the
// connection text and the status line.
#include <gtest/gtest.h>

#include "DatabaseTestSupport.h"
#include "common/PathHelpers.h"
#include "database/modDatabase.h"

namespace tbx {
namespace {

class ConnectDatabaseTest : public testing::Test {
 protected:

  void WriteIni(const QString& section, const QString& body) {
    ASSERT_TRUE(test::WriteTextFile(ini_, (u'[' + section + QStringLiteral("]\n") + body).toUtf8()));
  }
  // The one dialog shown, with the buttons and style of every database message.
  QString OnlyMessage(const QString& caption) {
    EXPECT_EQ(dialogs_.calls.size(), 1u);
    if (dialogs_.calls.size() != 1) return QString();
    const auto& call = dialogs_.calls[0];
    EXPECT_EQ(call.kind, QStringLiteral("info"));
    EXPECT_EQ(call.title, caption);
    EXPECT_EQ(call.buttons, 16);
    EXPECT_EQ(call.icon, 16);
    return call.text;
  }

  QTemporaryDir dir_;
  const QString ini_ = dir_.path() + QStringLiteral("/bericht.ini");  // any name, as in batch runs
  test::FakeDialogs dialogs_;
  test::FakeProgress progress_;
};

TEST_F(ConnectDatabaseTest, FirstMissingKeyGivesItsMessageAndNoConnection) {
  const struct {
    const char* body;
    const char* message;
  } cases[] = {
      {"", "DataSource unter 'Verbindung' nicht angegeben"},
      {"DataSource=srv\nPassword=p\nProvider=SQLOLEDB\n", "Username unter 'Verbindung' nicht angegeben"},
      {"DataSource=srv\nUsername=sa\n", "Password unter 'Verbindung' nicht angegeben"},
      {"DataSource=srv\nUsername=sa\nPassword=p\nDatabase=K\n", "Provider unter 'Verbindung' nicht angegeben."},
      {"DataSource=srv\nUsername=sa\nPassword=p\nProvider=SQLOLEDB\n",
       "Database muss bei SQL Server Datenbanken angegeben werden."},
      {"DataSource=srv\nUsername=sa\nPassword=p\nProvider=MSDASQL\n",
       "Database muss bei SQL Server Datenbanken angegeben werden."},
      {"DataSource=a.db\nUsername=sa\nPassword=p\nProvider=SQLite\n",
       "Database muss bei SQL Server Datenbanken angegeben werden."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    dialogs_.calls.clear();
    progress_.statuses.clear();
    WriteIni(QStringLiteral("Verbindung"), QString::fromUtf8(c.body));
    EXPECT_FALSE(ConnectDatabase(TheDialogs(), TheProgress(), QStringLiteral("Verbindung"), ini_));
    EXPECT_EQ(OnlyMessage(ini_), QString::fromUtf8(c.message));
    EXPECT_EQ(progress_.statuses, QStringList{QStringLiteral("Verbinde zur Datenbank")});
  }
}

TEST_F(ConnectDatabaseTest, MarkersAreReplacedInOrderOnTheTextSoFar) {
  const QString sql = QStringLiteral("SQLOLEDB");
  EXPECT_EQ(ConnectionTextFor(QStringLiteral("srv"), QStringLiteral("sa"), QStringLiteral("pw"), sql,
                              QStringLiteral("Konstruktion")),
            QStringLiteral("Provider=SQLOLEDB;Data Source=srv;User ID=sa;Password=pw;Database=Konstruktion;"));
  // A later marker inside an earlier value is replaced; an earlier one is not.
  EXPECT_EQ(ConnectionTextFor(QStringLiteral("srv$2"), QStringLiteral("$1"), QStringLiteral("p$4"), sql,
                              QStringLiteral("K")),
            QStringLiteral("Provider=SQLOLEDB;Data Source=srv$1;User ID=$1;Password=pSQLOLEDB;Database=K;"));
  // Without "sql" in the provider the Database value is ignored.
  EXPECT_EQ(ConnectionTextFor(QStringLiteral("db.mdb"), QStringLiteral("u"), QStringLiteral("p"),
                              QStringLiteral("Microsoft.Jet.OLEDB.4.0"), QStringLiteral("K")),
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=db.mdb;User ID=u;Password=p;"));
}

TEST_F(ConnectDatabaseTest, OpenFailureShowsTheTextWithoutThePassword) {
  const QString missing = dir_.path() + QStringLiteral("/fehlt.db");
  WriteIni(QStringLiteral("ODBC"), QStringLiteral("DataSource=%1\nUsername=leser\nPassword=Geheim;1\n"
                                                  "Provider=SQLite\nDatabase=ulvo\n")
                                       .arg(missing));
  EXPECT_FALSE(ConnectDatabase(TheDialogs(), TheProgress(), QStringLiteral("ODBC"), ini_));
  const QString text = OnlyMessage(QString());
  EXPECT_TRUE(text.startsWith(QStringLiteral("Fehler beim Öffnen der Datenbankverbindung: "))) << text.toStdString();
  EXPECT_TRUE(text.endsWith(
      QStringLiteral("\r\n(Provider=SQLite;Data Source=%1;User ID=leser;Password=***;Database=ulvo;)").arg(missing)))
      << text.toStdString();
  EXPECT_FALSE(text.contains(QStringLiteral("Geheim")));
  EXPECT_EQ(progress_.statuses, QStringList{QStringLiteral("Verbinde zur Datenbank")});
}

TEST_F(ConnectDatabaseTest, ProviderWithoutSqlLeavesTheDatabaseOut) {
  WriteIni(QStringLiteral("ODBC"),
           QStringLiteral("DataSource=tabellix_fehlt\nUsername=u\nPassword=p\nProvider=MSDAORA\nDatabase=K\n"));
  EXPECT_FALSE(ConnectDatabase(TheDialogs(), TheProgress(), QStringLiteral("ODBC"), ini_));
  EXPECT_TRUE(OnlyMessage(QString())
                  .endsWith(QStringLiteral("(Provider=MSDAORA;Data Source=tabellix_fehlt;User ID=u;Password=***;)")));
}

TEST_F(ConnectDatabaseTest, ConnectsToTheSampleDatabase) {
  const QString file = test::BuildSampleSqlite(dir_.path());
  WriteIni(QStringLiteral("ODBC"),
           QStringLiteral("DataSource=%1\nUsername=leser\nPassword=x\nProvider=SQLite\nDatabase=ulvo\n").arg(file));
  std::unique_ptr<DatabaseConnection> db = ConnectDatabase(TheDialogs(), TheProgress(), QStringLiteral("ODBC"), ini_);
  ASSERT_TRUE(db);
  EXPECT_TRUE(dialogs_.calls.empty());
  EXPECT_EQ(progress_.statuses,
            (QStringList{QStringLiteral("Verbinde zur Datenbank"), QStringLiteral("Datenbank verbunden")}));
}

}  // namespace
}  // namespace tbx
