#pragma once
// Writes compound files (version 3, 512-byte sectors) with streams in the
// root storage: the container of CAD documents and of .xls workbooks.
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QIODevice;

namespace tbx {

class CompoundFileWriter {
 public:
  // Adds a stream to the root storage; name 1 to 31 UTF-16 code units without
  // "/", "\", ":" or "!", unique without regard to case, data below 2 GiB
  // (the limit of a version 3 file). Returns false (and adds nothing) otherwise.
  bool AddStream(const QString& name, QByteArray data);

  // The whole file: header, FAT (with DIFAT sectors when needed), mini FAT,
  // mini stream, directory and stream data. Any stream size is allowed.
  QByteArray Serialize() const;

  // Writes the same bytes as Serialize() to an open device, or hands them
  // piece by piece to sink (false: refused), without building the file in
  // memory first; false when a write was refused.
  bool WriteTo(QIODevice& device) const;
  bool WriteTo(const std::function<bool(const char*, qint64)>& sink) const;

 private:
  struct Stream {
    QString name;
    QByteArray data;
  };
  std::vector<Stream> streams_;
};

}  // namespace tbx
