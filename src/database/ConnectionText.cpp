#include "database/ConnectionText.h"

#include <QList>

namespace tbx {
namespace {

enum class Key { Provider, DataSource, UserId, Password, Database, None };

Key KeyOf(QStringView name) {
  const QString k = name.trimmed().toString().toLower();
  if (k == u"provider") return Key::Provider;
  if (k == u"data source") return Key::DataSource;
  if (k == u"user id" || k == u"uid") return Key::UserId;
  if (k == u"password" || k == u"pwd") return Key::Password;
  if (k == u"database") return Key::Database;
  return Key::None;
}

// One "key=value" part: where its value lies in the text.
struct Part {
  Key key;
  qsizetype valueStart;
  qsizetype valueLength;
};

// The known parts in text order. A segment that does not start a known key
// belongs to the value before it, ";" included: the template puts values in
// unquoted, so this is how a ";" inside a value is told from a separator. The
// text's closing ";" ends the loop without an empty segment behind it.
QList<Part> PartsOf(const QString& text) {
  QList<Part> parts;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = text.indexOf(u';', start);
    if (end < 0) end = text.size();
    const QStringView segment = QStringView(text).mid(start, end - start);
    const qsizetype eq = segment.indexOf(u'=');
    const Key key = eq < 0 ? Key::None : KeyOf(segment.left(eq));
    if (key != Key::None) {
      parts.append({key, start + eq + 1, end - start - eq - 1});
    } else if (!parts.isEmpty()) {
      parts.last().valueLength = end - parts.last().valueStart;
    }
    start = end + 1;
  }
  return parts;
}

}  // namespace

ConnectionText ParseConnectionText(const QString& text) {
  ConnectionText result;
  bool seen[5] = {};
  for (const Part& p : PartsOf(text)) {
    const int i = static_cast<int>(p.key);
    if (seen[i]) continue;
    seen[i] = true;
    const QString value = text.mid(p.valueStart, p.valueLength);
    switch (p.key) {
      case Key::Provider: result.provider = value; break;
      case Key::DataSource: result.dataSource = value; break;
      case Key::UserId: result.userId = value; break;
      case Key::Password: result.password = value; break;
      case Key::Database: result.database = value; break;
      case Key::None: break;
    }
  }
  return result;
}

DatabaseDriver DriverForProvider(const QString& provider) {
  if (provider.contains(u"sqlite", Qt::CaseInsensitive)) return DatabaseDriver::Sqlite;
  if (provider.contains(u"postgres", Qt::CaseInsensitive) || provider.contains(u"pgsql", Qt::CaseInsensitive))
    return DatabaseDriver::Postgres;
  return DatabaseDriver::Odbc;
}

DatabaseLogin LoginFor(const ConnectionText& text) {
  return DatabaseLogin{DriverForProvider(text.provider), text.dataSource, text.userId, text.password, text.database};
}

QString MaskPassword(const QString& text) {
  QString masked = text;
  const QList<Part> parts = PartsOf(text);
  // From the back, so that earlier positions stay valid.
  for (auto it = parts.crbegin(); it != parts.crend(); ++it) {
    if (it->key == Key::Password) masked.replace(it->valueStart, it->valueLength, QStringLiteral("***"));
  }
  return masked;
}

}  // namespace tbx
