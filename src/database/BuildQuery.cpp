#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "database/DatabaseMessages.h"
#include "database/modDatabase.h"

namespace tbx {

QString BuildQuery(Dialogs& dialogs, const QString& section, const ProfileSnapshot& config) {
  struct Clause {
    const char* key;
    const char* keyword;
    const char* bracket;  // closes the section name in the message
  };
  // The blank before the bracket of the Select message is how users have
  // always seen it; the other two have none.
  static constexpr Clause kRequired[] = {
      {ini::kSelect, "select ", " ]"}, {ini::kFrom, " from ", "]"}, {ini::kWhere, " where ", "]"}};
  QString statement;
  for (const Clause& c : kRequired) {
    const QString key = QString::fromLatin1(c.key);
    const QString value = ReadIniValue(config, section, key);
    if (value.isEmpty()) {
      ShowDatabaseMessage(dialogs, u'[' + section + QString::fromLatin1(c.bracket) + u'\\' + key +
                              QStringLiteral(" nicht angegeben"),
                          config.File());
      return QString();
    }
    statement += QString::fromLatin1(c.keyword) + value;
  }
  const QString order = ReadIniValue(config, section, QString::fromLatin1(ini::kOrder));
  if (!order.isEmpty()) statement += QStringLiteral(" order by ") + order;
  return statement;
}

}  // namespace tbx
