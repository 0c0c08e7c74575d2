#pragma once
// Writes compound files (version 3, 512-byte sectors) with streams in the
// root storage: the container of CAD documents and of .xls workbooks.
#include <QByteArray>
#include <QString>
#include <vector>

namespace tbx {

class CompoundFileWriter {
 public:
  // Adds a stream to the root storage; name at most 31 UTF-16 code units,
  // unique without regard to case. Returns false (and adds nothing) otherwise.
  bool AddStream(const QString& name, QByteArray data);

  // The whole file: header, FAT (with DIFAT sectors when needed), mini FAT,
  // mini stream, directory and stream data. Any stream size is allowed.
  QByteArray Serialize() const;

 private:
  struct Stream {
    QString name;
    QByteArray data;
  };
  std::vector<Stream> streams_;
};

}  // namespace tbx
