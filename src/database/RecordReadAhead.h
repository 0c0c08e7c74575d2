#pragma once
// Document records read ahead of the loop. Against a server on the network
// every query waits a round trip, and a document costs its record and the
// look-ups of its reference fields: one connection after the other leaves
// the server idle. A pool of read-only connections, one per helper thread
// (a QtSql connection belongs to the thread that opened it), queries the
// documents after the current one in scan order within a bounded window;
// the loop takes their values in order, so workbook and log come out as
// from one connection. Owned by the run, used on the run's thread.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "common/CellValue.h"
#include "common/FoundDocuments.h"
#include "common/ReadAhead.h"
#include "common/WorkerPool.h"
#include "database/ReferenceCache.h"
#include "platform/DatabaseConnection.h"

namespace tbx {

// What was read ahead for one document.
struct RecordReading {
  enum Outcome {
    NotRead,   // the loop queries itself (no connection, or the query settings are incomplete)
    NoRecord,  // the database holds none for the document
    Found,     // values holds the value of each field
  };
  Outcome outcome = NotRead;
  std::vector<CellValue> values;  // per mapped name, "" for the special names
  QString statement;  // the query it ran; the loop takes the reading only for its own
};

// How many connections read document records, the run's own among them:
// TABELLIX_DB_CONNECTIONS when set (1 to 16; 1 is the run's one connection
// alone), else 4.
int ConfiguredDatabaseConnections();

class RecordReadAhead {
 public:
  // Reads the records of found with `connections` - 1 connections opened
  // like login (the same driver, checks and read-only session) beside the
  // run's own, with the query
  // of the configuration at configPath; fields are the mapped names, special
  // names among them given as "". A connection that cannot be opened means
  // fewer; with none (or connections < 2) nothing is read ahead. A query
  // that fails on a helper's connection leaves the document to the loop's
  // own: whether and how the run ends is decided there, as without helpers.
  RecordReadAhead(const FoundDocuments& found, const DatabaseLogin& login, QString configPath, QStringList fields,
                  ReferenceCache& cache, int connections, int window);
  ~RecordReadAhead();

  // The reading of document index (0-based, in order), waiting for its
  // connection while whileWaiting runs every few milliseconds.
  RecordReading Take(qsizetype index, const std::function<void()>& whileWaiting);

 private:
  RecordReading Read(qsizetype index, int worker);
  DatabaseConnection* ConnectionOf(int worker);

  const FoundDocuments& found_;
  const DatabaseLogin login_;
  const QString configPath_;
  const QStringList fields_;
  ReferenceCache& cache_;
  std::vector<std::unique_ptr<DatabaseConnection>> connections_;  // by helper, opened on it
  std::vector<char> tried_;  // a helper tried to open its own (a byte each: helpers write their own at once)
  WorkerPool pool_;
  ReadAhead<RecordReading> ahead_;
};

}  // namespace tbx
