#include "StreamsMode.h"

#include <QSaveFile>
#include <cstdio>

#include "cfb/CompoundFileWriter.h"

namespace tbx::samplegen {

int RunStreamsMode(const QStringList& args) {
  if (args.isEmpty()) {
    std::fprintf(stderr, "streams: Zieldatei fehlt\n");
    return 2;
  }
  CompoundFileWriter writer;
  for (int j = 1; j < args.size(); ++j) {
    const qsizetype colon = args[j].lastIndexOf(u':');
    bool ok = colon > 0;
    const qint64 size = ok ? args[j].mid(colon + 1).toLongLong(&ok) : 0;
    if (!ok || size < 0) {
      std::fprintf(stderr, "streams: \"%s\" ist nicht NAME:GRÖSSE\n", qPrintable(args[j]));
      return 2;
    }
    QByteArray data(size, Qt::Uninitialized);
    for (qint64 k = 0; k < size; ++k) data[k] = PatternByte(k, j - 1);
    if (!writer.AddStream(args[j].left(colon), std::move(data))) {
      std::fprintf(stderr, "streams: Stream \"%s\" abgelehnt\n", qPrintable(args[j]));
      return 2;
    }
  }
  QSaveFile file(args[0]);
  if (!file.open(QIODevice::WriteOnly) || !writer.WriteTo(file) || !file.commit()) {
    std::fprintf(stderr, "streams: %s kann nicht geschrieben werden\n", qPrintable(args[0]));
    return 1;
  }
  return 0;
}

}  // namespace tbx::samplegen
