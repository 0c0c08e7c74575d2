#pragma once
// Read-only access to compound files (versions 3 and 4): lists the root
// storage and reads streams from it. Only the header, the allocation-table
// and directory sectors it walks and the requested streams are read. The file
// is untrusted: every sector number, chain and size is checked, and every
// defect ends in a status, never a crash, a hang or an oversized allocation.
#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "cfb/ByteSource.h"
#include "cfb/ReadStatus.h"

namespace tbx {

struct CompoundFileEntry {
  QString name;
  quint32 entry = 0;      // number of the directory entry
  bool isStream = false;  // otherwise a storage
  quint32 start = 0;
  quint64 size = 0;
};

class CompoundFileReader {
 public:
  CompoundFileReader();
  ~CompoundFileReader();
  CompoundFileReader(const CompoundFileReader&) = delete;
  CompoundFileReader& operator=(const CompoundFileReader&) = delete;

  // Reads header, sector allocation list and directory from source.
  ParseStatus Open(std::unique_ptr<ByteSource> source);

  // The streams and storages of the root storage, in directory-entry order.
  const std::vector<CompoundFileEntry>& RootEntries() const;

  // The whole stream of one root entry.
  ParseStatus ReadStream(const CompoundFileEntry& entry, QByteArray* out);
  // The root stream of that name (compared without regard to case).
  ParseStatus ReadStream(const QString& name, QByteArray* out);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tbx
