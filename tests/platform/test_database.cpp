// The QtSql layer against real databases: the sample SQLite file and the
// throwaway PostgreSQL server through QPSQL and psqlODBC.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "../database/DatabaseTestSupport.h"
#include "common/TextForm.h"
#include "database/ConnectionText.h"
#include "database/RecordSet.h"
#include "platform/DatabaseConnection.h"

namespace tbx {
namespace {

using test::DatabaseBackend;

QString TextFor(const DatabaseBackend& b, bool withDatabase = true) {
  QString text = QStringLiteral("Provider=%1;Data Source=%2;User ID=%3;Password=%4;")
                     .arg(b.provider, b.dataSource, b.userName, b.password);
  if (withDatabase) text += QStringLiteral("Database=%1;").arg(b.database);
  return text;
}

std::unique_ptr<DatabaseConnection> Open(const QString& text, QString& error) {
  return DatabaseConnection::Open(LoginFor(ParseConnectionText(text)), error);
}

std::unique_ptr<DatabaseConnection> OpenOrFail(const QString& text) {
  QString error;
  std::unique_ptr<DatabaseConnection> db = Open(text, error);
  EXPECT_TRUE(db) << error.toStdString();
  return db;
}

// The first record of a statement that must succeed.
std::optional<RecordSet> First(DatabaseConnection& db, const char* statement) {
  std::optional<QueryRecord> record;
  QString error;
  EXPECT_TRUE(db.FirstRecord(QString::fromLatin1(statement), record, error)) << statement << ": " << error.toStdString();
  if (!record) return std::nullopt;
  return RecordSet(std::move(*record));
}

// Whether a statement fails, with the driver's description.
bool Refused(DatabaseConnection& db, const char* statement) {
  std::optional<QueryRecord> record;
  QString error;
  const bool ok = db.FirstRecord(QString::fromLatin1(statement), record, error);
  EXPECT_TRUE(ok || !error.isEmpty()) << statement;
  return !ok;
}

// Statements that would change the database; each must be refused.
const char* const kWrites[] = {
    "INSERT INTO ulvo.users (OBJECT_ID, LOGIN, DESCRIPTION) VALUES (77, 'neu', 'Neu')",
    "UPDATE ulvo.documents SET TITEL = 'x'",
    "CREATE TABLE ulvo.tbx_probe (x INTEGER)",
};

// The cases every backend must pass.
void CheckReadsAndRefusesWrites(DatabaseConnection& db) {
  std::optional<RecordSet> rs = First(db,
      "SELECT FILE_NAME, REVISION, GEWICHT, BEARBEITER FROM ulvo.documents WHERE FILE_NAME LIKE 'gruppe%' "
      "ORDER BY FILE_NAME");
  ASSERT_TRUE(rs);
  ASSERT_EQ(rs->FieldCount(), 4);
  EXPECT_EQ(rs->FieldName(0).toUpper(), QStringLiteral("FILE_NAME"));
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("gewicht")), 2);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("fehlt")), -1);
  EXPECT_EQ(rs->Value(0).toString(), QStringLiteral("gruppe a.par"));
  EXPECT_EQ(rs->Value(1).toInt(), 1);

  std::optional<RecordSet> nulls =
      First(db, "SELECT PRUEFER, GEWICHT FROM ulvo.documents WHERE FILE_NAME = 'ohne bearbeiter.par'");
  ASSERT_TRUE(nulls);
  EXPECT_FALSE(nulls->Value(0).isValid());
  EXPECT_EQ(ValueText(nulls->Value(0)), std::nullopt);

  EXPECT_FALSE(First(db, "SELECT LOGIN FROM ulvo.users WHERE OBJECT_ID = -1"));

  for (const char* w : kWrites) EXPECT_TRUE(Refused(db, w)) << w;
  std::optional<RecordSet> users = First(db, "SELECT COUNT(*) FROM ulvo.users");
  ASSERT_TRUE(users);
  EXPECT_EQ(users->Value(0).toInt(), 4);

  EXPECT_TRUE(Refused(db, "SELEKT * FROM ulvo.users"));
}

class SqliteDatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    file_ = test::BuildSampleSqlite(dir_.path());
    ASSERT_FALSE(file_.isEmpty());
  }
  QTemporaryDir dir_;
  QString file_;
};

TEST_F(SqliteDatabaseTest, ReadsThroughTheAttachedSchemaAndRefusesWrites) {
  auto db = OpenOrFail(TextFor(test::SqliteBackend(file_)));
  ASSERT_TRUE(db);
  CheckReadsAndRefusesWrites(*db);
}

TEST_F(SqliteDatabaseTest, WithoutDatabasePartTheFileIsAttachedAsUlvo) {
  auto db = OpenOrFail(TextFor(test::SqliteBackend(file_), false));
  ASSERT_TRUE(db);
  EXPECT_EQ(First(*db, "SELECT TABLE_NAME FROM ulvo.KRV_CLASS WHERE CLASS_ID=7")->Value(0).toString(),
            QStringLiteral("users"));
}

TEST_F(SqliteDatabaseTest, OtherDatabaseNameIsTheSchemaName) {
  DatabaseBackend b = test::SqliteBackend(file_);
  b.database = QStringLiteral("Konstruktion");
  auto db = OpenOrFail(TextFor(b));
  ASSERT_TRUE(db);
  EXPECT_EQ(First(*db, "SELECT COUNT(*) FROM Konstruktion.users")->Value(0).toInt(), 4);
}

TEST_F(SqliteDatabaseTest, MissingFileIsAnErrorAndIsNotCreated) {
  DatabaseBackend b = test::SqliteBackend(dir_.path() + QStringLiteral("/fehlt.db"));
  QString error;
  EXPECT_FALSE(Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(QFile::exists(b.dataSource));
}

TEST_F(SqliteDatabaseTest, ConnectionsAreIndependent) {
  auto first = OpenOrFail(TextFor(test::SqliteBackend(file_)));
  auto second = OpenOrFail(TextFor(test::SqliteBackend(file_)));
  ASSERT_TRUE(first && second);
  first.reset();
  EXPECT_EQ(First(*second, "SELECT COUNT(*) FROM ulvo.users")->Value(0).toInt(), 4);
}

TEST(ValueText, ClassicTextForms) {
  test::PinnedLocaleAndClock pinned;
  EXPECT_EQ(ValueText(QVariant(QStringLiteral("Welle"))), QStringLiteral("Welle"));
  EXPECT_EQ(ValueText(QVariant(qlonglong(1031))), QStringLiteral("1031"));
  EXPECT_EQ(ValueText(QVariant(1.5)), QStringLiteral("1,5"));
  EXPECT_EQ(ValueText(QVariant(true)), QStringLiteral("Wahr"));
  EXPECT_EQ(ValueText(QVariant(QDate(2026, 3, 4))), QStringLiteral("04.03.2026"));
  EXPECT_EQ(ValueText(QVariant(QByteArray("\x01\x02", 2))), std::nullopt);
  EXPECT_EQ(ValueText(QVariant()), std::nullopt);
}

class ServerDatabaseTest : public testing::TestWithParam<DatabaseBackend (*)()> {};

TEST_P(ServerDatabaseTest, ReadsAndRefusesWrites) {
  TBX_REQUIRE_SERVER();
  auto db = OpenOrFail(TextFor(GetParam()()));
  ASSERT_TRUE(db);
  CheckReadsAndRefusesWrites(*db);
}

// The test role may create temporary tables, so only the read-only session
// can refuse this one.
TEST_P(ServerDatabaseTest, SessionIsReadOnlyBeyondTheRolesRights) {
  TBX_REQUIRE_SERVER();
  auto db = OpenOrFail(TextFor(GetParam()()));
  ASSERT_TRUE(db);
  EXPECT_TRUE(Refused(*db, "CREATE TEMP TABLE tbx_probe (x INTEGER)"));
}

TEST_P(ServerDatabaseTest, RefusedLoginGivesTheDriversDescription) {
  TBX_REQUIRE_SERVER();
  DatabaseBackend b = GetParam()();
  b.password = QStringLiteral("falsch");
  QString error;
  EXPECT_FALSE(Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(PostgresDatabase, UnreachableServerGivesAnError) {
  DatabaseBackend b = test::PostgresBackend();
  b.dataSource = QStringLiteral("127.0.0.1:1");
  QString error;
  EXPECT_FALSE(Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, ServerDatabaseTest, testing::Values(&test::PostgresBackend, &test::OdbcBackend),
                         [](const testing::TestParamInfo<DatabaseBackend (*)()>& info) {
                           return info.index == 0 ? std::string("QPSQL") : std::string("QODBC");
                         });

}  // namespace
}  // namespace tbx
