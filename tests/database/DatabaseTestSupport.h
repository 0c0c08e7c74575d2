#pragma once
// The databases the database tests run against: the sample SQLite file built
// by tools/sampledb, and the throwaway PostgreSQL server of tools/pgtest.sh
// reached through QPSQL and through psqlODBC. The server's details come from
// the environment (tools/test.sh sets them); without them the server tests
// skip on a developer's machine and fail in CI.
#include <gtest/gtest.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "TestSupport.h"

namespace tbx::test {

// Builds the sample database into folder (extra: further sampledb.py
// arguments) and returns its path, or "" with a test failure.
inline QString BuildSampleSqlite(const QString& folder, const QStringList& extra = {}) {
  const QString path = folder + QStringLiteral("/sample.db");
  QProcess p;
  p.start(QStringLiteral("/usr/bin/python3"),
          QStringList{SourceDir() + QStringLiteral("/tools/sampledb/sampledb.py"), QStringLiteral("--sqlite"), path} +
              extra);
  const bool ok = p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  EXPECT_TRUE(ok) << p.readAllStandardError().toStdString();
  return ok ? path : QString();
}

// One way to the sample data: the values of the [ODBC] keys.
struct DatabaseBackend {
  std::string name;  // test name suffix
  QString provider, dataSource, userName, password, database;
};

inline DatabaseBackend SqliteBackend(const QString& file) {
  return {"SQLite", QStringLiteral("SQLite"), file, QStringLiteral("leser"), QStringLiteral("unbenutzt"),
          QStringLiteral("ulvo")};
}

inline bool ServerAvailable() { return qEnvironmentVariableIsSet("TBX_PG_PORT"); }

inline DatabaseBackend PostgresBackend() {
  return {"PostgreSQL", QStringLiteral("PostgreSQL"),
          qEnvironmentVariable("TBX_PG_HOST") + u':' + qEnvironmentVariable("TBX_PG_PORT"),
          qEnvironmentVariable("TBX_PG_USER"), qEnvironmentVariable("TBX_PG_PASSWORD"),
          qEnvironmentVariable("TBX_PG_DATABASE")};
}

// MSDASQL contains "sql", so the Database key is required and passed on.
inline DatabaseBackend OdbcBackend() {
  return {"ODBC", QStringLiteral("MSDASQL"), qEnvironmentVariable("TBX_PG_DSN"), qEnvironmentVariable("TBX_PG_USER"),
          qEnvironmentVariable("TBX_PG_PASSWORD"), qEnvironmentVariable("TBX_PG_DATABASE")};
}

}  // namespace tbx::test

// Skips a server test on a developer's machine without PostgreSQL; in CI the
// server must be there.
#define TBX_REQUIRE_SERVER()                                                                           \
  do {                                                                                                 \
    if (!::tbx::test::ServerAvailable()) {                                                             \
      if (qEnvironmentVariable("CI") == QLatin1String("true"))                                         \
        FAIL() << "CI: kein PostgreSQL-Testserver (tools/pgtest.sh start ENVFILE, dann ENVFILE laden)"; \
      GTEST_SKIP() << "kein PostgreSQL-Testserver: TBX_PG_PORT ist nicht gesetzt (tools/test.sh startet ihn)"; \
    }                                                                                                  \
  } while (0)
