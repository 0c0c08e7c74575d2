#pragma once
// The connection text of database mode,
// "Provider=…;Data Source=…;User ID=…;Password=…;[Database=…;]", taken apart
// by us: the configuration names an ADO-style provider, and we map it onto
// the QtSql driver that reaches the same kind of database.
#include <QString>

#include "platform/DatabaseConnection.h"

namespace tbx {

struct ConnectionText {
  QString provider;
  QString dataSource;
  QString userId;
  QString password;
  QString database;  // "" when the text has no Database part
};

// The parts of a connection text. Keys are compared without regard to case
// and blanks around them; a value keeps its blanks. A ";" inside a value
// survives as long as what follows it does not start another known key
// ("Password=a;b;" has the password "a;b"), so passwords with semicolons
// work. Unknown keys are dropped: nothing but these five reaches a driver.
// When a key appears twice the first one counts.
ConnectionText ParseConnectionText(const QString& text);

// The driver for a provider name (compared without regard to case):
// "sqlite" in it leads to SQLite, "postgres" or "pgsql" to PostgreSQL, every
// other provider (SQLOLEDB, MSDASQL, MSDAORA, …) to ODBC.
DatabaseDriver DriverForProvider(const QString& provider);

// The login of a connection text: its driver and its parts.
DatabaseLogin LoginFor(const ConnectionText& text);

// The connection text with the value of every Password part replaced by
// "***", for messages that users copy into tickets and e-mails. The rest of
// the text stays as it was.
QString MaskPassword(const QString& text);

}  // namespace tbx
