#include "database/RecordReadAhead.h"

#include <QtGlobal>
#include <algorithm>

#include "common/ConfigKeys.h"
#include "common/Profile.h"
#include "common/RunError.h"
#include "database/modDatabase.h"

namespace tbx {

int ConfiguredDatabaseConnections() {
  bool ok = false;
  const int configured = qEnvironmentVariableIntValue("TABELLIX_DB_CONNECTIONS", &ok);
  return ok ? std::clamp(configured, 1, 16) : 4;
}

RecordReadAhead::RecordReadAhead(const FoundDocuments& found, const DatabaseLogin& login, QString configPath,
                                 QStringList fields, ReferenceCache& cache, int connections, int window)
    : found_(found),
      login_(login),
      configPath_(std::move(configPath)),
      fields_(std::move(fields)),
      cache_(cache),
      // The run's own connection is one of them: it queries what the loop
      // reaches before a helper has.
      connections_(size_t(std::max(0, connections - 1))),
      tried_(connections_.size(), 0),
      // Each helper closes its connection on its own thread as the pool ends.
      pool_(int(connections_.size()), [this](int worker) { connections_[size_t(worker)].reset(); }),
      ahead_(
          pool_, found.size(), window, [this](qsizetype index, int worker) { return Read(index, worker); },
          // A helper short of memory leaves its document to the loop.
          [](qsizetype, std::exception_ptr) { return RecordReading{}; }) {}

RecordReadAhead::~RecordReadAhead() = default;

DatabaseConnection* RecordReadAhead::ConnectionOf(int worker) {
  if (worker < 0) return nullptr;
  // Only this helper touches its slot.
  const size_t w = size_t(worker);
  if (!tried_[w]) {
    tried_[w] = 1;
    QString error;
    connections_[w] = DatabaseConnection::Open(login_, error);
  }
  return connections_[w].get();
}

RecordReading RecordReadAhead::Read(qsizetype index, int worker) {
  RecordReading reading;
  DatabaseConnection* db = ConnectionOf(worker);
  if (!db) return reading;
  // The configuration as it is now; should it be edited within the window,
  // the loop sees another query and asks the database itself.
  const QString statement = QueryText(QString::fromLatin1(ini::kSql), LoadProfile(configPath_));
  if (statement.isEmpty()) return reading;  // the loop shows the message
  reading.statement = statement;
  try {
    const std::optional<RecordSet> record = QueryFirstRecord(*db, DocumentStatement(statement, found_.Path(index)));
    if (!record) {
      reading.outcome = RecordReading::NoRecord;
      return reading;
    }
    reading.values.reserve(size_t(fields_.size()));
    for (const QString& field : fields_)
      reading.values.push_back(field.isEmpty() ? CellValue{} : GetRecordValue(*db, *record, field, cache_));
    reading.outcome = RecordReading::Found;
  } catch (const RunError&) {
    return RecordReading{};
  }
  return reading;
}

RecordReading RecordReadAhead::Take(qsizetype index, const std::function<void()>& whileWaiting) {
  return ahead_.Take(index, whileWaiting);
}

}  // namespace tbx
