#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"
#include "database/DatabaseMessages.h"
#include "database/modDatabase.h"

namespace tbx {

QString QueryText(const QString& section, const ProfileSnapshot& config, QString* missing) {
  struct Clause {
    const char* key;
    const char* keyword;
    const char* bracket;  // closes the section name in the message
  };
  // The blank before the bracket of the Select message is how users have
  // always seen it; the other two have none.
  static constexpr Clause kRequired[] = {
      {ini::kSelect.key, "select ", " ]"}, {ini::kFrom.key, " from ", "]"}, {ini::kWhere.key, " where ", "]"}};
  QString statement;
  for (const Clause& c : kRequired) {
    const QString key = QString::fromLatin1(c.key);
    const QString value = ReadIniValue(config, section, key);
    if (value.isEmpty()) {
      if (missing) *missing = u'[' + section + QString::fromLatin1(c.bracket) + u'\\' + key + QStringLiteral(" nicht angegeben");
      return QString();
    }
    statement += QString::fromLatin1(c.keyword) + value;
  }
  const QString order = ReadIniValue(config, section, QString::fromLatin1(ini::kOrder.key));
  if (!order.isEmpty()) statement += QStringLiteral(" order by ") + order;
  return statement;
}

QString BuildQuery(Dialogs& dialogs, const QString& section, const ProfileSnapshot& config) {
  QString missing;
  const QString statement = QueryText(section, config, &missing);
  if (statement.isEmpty()) ShowDatabaseMessage(dialogs, missing, config.File());
  return statement;
}

QString DocumentStatement(QString statement, const QString& path) {
  // The file name goes between the user's quotes: doubling its own quotes
  // keeps a name like O'Brien.par from breaking (or rewriting) the query.
  QString fileName = PathPart(path, FileNamePart).toLower();
  fileName.replace(u'\'', QStringLiteral("''"));
  return statement.replace(QStringLiteral("%Id"), fileName);
}

}  // namespace tbx
