// A database driver that is not installed: the message names the driver and
// the package that brings it, in German, and the caller gets it for the log.
// A process of its own: QtSql keeps a driver plugin once it has loaded one.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "DatabaseTestSupport.h"
#include "database/modDatabase.h"

namespace tbx {
namespace {

TEST(MissingDriver, MessageNamesTheDriverAndItsPackage) {
  QTemporaryDir dir;
  QCoreApplication::setLibraryPaths({dir.path()});  // a folder without sqldrivers/
  test::FakeDialogs dialogs;
  test::FakeProgress progress;
  const QString ini = dir.path() + QStringLiteral("/bericht.ini");
  const struct {
    const char* provider;
    const char* driver;
  } cases[] = {
      {"SQLite", "SQLite (QSQLITE) ist nicht installiert. Er kommt mit dem Debian-Paket libqt6sql6-sqlite "
                 "(als Administrator: apt install libqt6sql6-sqlite)."},
      {"PostgreSQL", "PostgreSQL (QPSQL) ist nicht installiert. Er kommt mit dem Debian-Paket libqt6sql6-psql "
                     "(als Administrator: apt install libqt6sql6-psql)."},
      {"MSDASQL", "ODBC (QODBC) ist nicht installiert. Er kommt mit dem Debian-Paket libqt6sql6-odbc "
                  "(als Administrator: apt install libqt6sql6-odbc)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.provider);
    dialogs.calls.clear();
    ASSERT_TRUE(test::WriteTextFile(
        ini, QStringLiteral("[ODBC]\nDataSource=k.db\nUsername=u\nPassword=p\nProvider=%1\nDatabase=k\n")
                 .arg(QLatin1String(c.provider))
                 .toUtf8()));
    QString failure;
    EXPECT_FALSE(ConnectDatabase(TheDialogs(), TheProgress(), QStringLiteral("ODBC"), ini, nullptr, &failure));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    const QString& text = dialogs.calls[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Fehler beim Öffnen der Datenbankverbindung: Der Datenbanktreiber für ") +
                                QString::fromUtf8(c.driver) + QStringLiteral("\r\n(Provider=")))
        << text.toStdString();
    EXPECT_EQ(failure, text);
  }
}

}  // namespace
}  // namespace tbx
