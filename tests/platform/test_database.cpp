// The QtSql layer against real databases: the sample SQLite file and the
// throwaway PostgreSQL server through QPSQL and psqlODBC.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "../database/DatabaseTestSupport.h"
#include "common/TextForm.h"
#include "platform/DatabaseConnection.h"
#include "platform/RunError.h"

namespace tbx {
namespace {

using test::DatabaseBackend;

QString TextFor(const DatabaseBackend& b, bool withDatabase = true) {
  QString text = QStringLiteral("Provider=%1;Data Source=%2;User ID=%3;Password=%4;")
                     .arg(b.provider, b.dataSource, b.userName, b.password);
  if (withDatabase) text += QStringLiteral("Database=%1;").arg(b.database);
  return text;
}

std::unique_ptr<DatabaseConnection> OpenOrFail(const QString& text) {
  QString error;
  std::unique_ptr<DatabaseConnection> db = DatabaseConnection::Open(text, error);
  EXPECT_TRUE(db) << error.toStdString();
  return db;
}

// Statements that would change the database; each must be refused.
const char* const kWrites[] = {
    "INSERT INTO ulvo.users (OBJECT_ID, LOGIN, DESCRIPTION) VALUES (77, 'neu', 'Neu')",
    "UPDATE ulvo.documents SET TITEL = 'x'",
    "CREATE TABLE ulvo.tbx_probe (x INTEGER)",
};

// The cases every backend must pass.
void CheckReadsAndRefusesWrites(DatabaseConnection& db) {
  std::optional<RecordSet> rs = db.Execute(QStringLiteral(
      "SELECT FILE_NAME, REVISION, GEWICHT, BEARBEITER FROM ulvo.documents WHERE FILE_NAME LIKE 'gruppe%' "
      "ORDER BY FILE_NAME"));
  ASSERT_TRUE(rs);
  EXPECT_EQ(rs->RecordCount(), 3);
  ASSERT_EQ(rs->FieldCount(), 4);
  EXPECT_EQ(rs->FieldName(0).toUpper(), QStringLiteral("FILE_NAME"));
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("gewicht")), 2);
  EXPECT_EQ(rs->FieldIndex(QStringLiteral("fehlt")), -1);
  EXPECT_EQ(rs->Value(0).toString(), QStringLiteral("gruppe a.par"));
  EXPECT_EQ(rs->Value(1).toInt(), 1);

  const RecordSet copy = *rs;  // the clone outlives the original
  rs.reset();
  EXPECT_EQ(copy.RecordCount(), 3);
  EXPECT_EQ(copy.Value(0).toString(), QStringLiteral("gruppe a.par"));

  std::optional<RecordSet> nulls =
      db.Execute(QStringLiteral("SELECT PRUEFER, GEWICHT FROM ulvo.documents WHERE FILE_NAME = 'ohne bearbeiter.par'"));
  ASSERT_TRUE(nulls);
  EXPECT_EQ(nulls->RecordCount(), 1);
  EXPECT_FALSE(nulls->Value(0).isValid());
  EXPECT_EQ(ValueText(nulls->Value(0)), std::nullopt);

  std::optional<RecordSet> none = db.Execute(QStringLiteral("SELECT LOGIN FROM ulvo.users WHERE OBJECT_ID = -1"));
  ASSERT_TRUE(none);
  EXPECT_EQ(none->RecordCount(), 0);
  EXPECT_FALSE(none->Value(0).isValid());

  for (const char* w : kWrites) {
    try {
      db.Execute(QString::fromLatin1(w));
      ADD_FAILURE() << "not refused: " << w;
    } catch (const RunError& e) {
      EXPECT_EQ(e.number(), kErrDatabase);
      EXPECT_FALSE(e.description().isEmpty());
    }
  }
  std::optional<RecordSet> users = db.Execute(QStringLiteral("SELECT COUNT(*) FROM ulvo.users"));
  ASSERT_TRUE(users);
  EXPECT_EQ(users->Value(0).toInt(), 4);

  try {
    db.Execute(QStringLiteral("SELEKT * FROM ulvo.users"));
    ADD_FAILURE() << "syntax error not raised";
  } catch (const RunError& e) {
    EXPECT_EQ(e.number(), kErrDatabase);
    EXPECT_FALSE(e.description().isEmpty());
  }
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
  EXPECT_EQ(db->Execute(QStringLiteral("SELECT TABLE_NAME FROM ulvo.KRV_CLASS WHERE CLASS_ID=7"))->Value(0).toString(),
            QStringLiteral("users"));
}

TEST_F(SqliteDatabaseTest, OtherDatabaseNameIsTheSchemaName) {
  DatabaseBackend b = test::SqliteBackend(file_);
  b.database = QStringLiteral("Konstruktion");
  auto db = OpenOrFail(TextFor(b));
  ASSERT_TRUE(db);
  EXPECT_EQ(db->Execute(QStringLiteral("SELECT COUNT(*) FROM Konstruktion.users"))->Value(0).toInt(), 4);
}

TEST_F(SqliteDatabaseTest, MissingFileIsAnErrorAndIsNotCreated) {
  DatabaseBackend b = test::SqliteBackend(dir_.path() + QStringLiteral("/fehlt.db"));
  QString error;
  EXPECT_FALSE(DatabaseConnection::Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(QFile::exists(b.dataSource));
}

TEST_F(SqliteDatabaseTest, ConnectionsAreIndependent) {
  auto first = OpenOrFail(TextFor(test::SqliteBackend(file_)));
  auto second = OpenOrFail(TextFor(test::SqliteBackend(file_)));
  ASSERT_TRUE(first && second);
  first.reset();
  EXPECT_EQ(second->Execute(QStringLiteral("SELECT COUNT(*) FROM ulvo.users"))->Value(0).toInt(), 4);
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
  EXPECT_THROW(db->Execute(QStringLiteral("CREATE TEMP TABLE tbx_probe (x INTEGER)")), RunError);
}

TEST_P(ServerDatabaseTest, RefusedLoginGivesTheDriversDescription) {
  TBX_REQUIRE_SERVER();
  DatabaseBackend b = GetParam()();
  b.password = QStringLiteral("falsch");
  QString error;
  EXPECT_FALSE(DatabaseConnection::Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(PostgresDatabase, UnreachableServerGivesAnError) {
  DatabaseBackend b = test::PostgresBackend();
  b.dataSource = QStringLiteral("127.0.0.1:1");
  QString error;
  EXPECT_FALSE(DatabaseConnection::Open(TextFor(b), error));
  EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Drivers, ServerDatabaseTest, testing::Values(&test::PostgresBackend, &test::OdbcBackend),
                         [](const testing::TestParamInfo<DatabaseBackend (*)()>& info) {
                           return info.index == 0 ? std::string("QPSQL") : std::string("QODBC");
                         });

}  // namespace
}  // namespace tbx
