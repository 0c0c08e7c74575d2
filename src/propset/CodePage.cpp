#include "propset/CodePage.h"

#include <QStringDecoder>
#include <QtEndian>

#include "text/Encodings.h"

namespace tbx {
namespace {

QString UpToZero(QString text) {
  const qsizetype zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

}  // namespace

QString DecodeUtf16(const char* data, quint64 units) {
  QString text(qsizetype(units), Qt::Uninitialized);
  for (quint64 i = 0; i < units; ++i) text[qsizetype(i)] = QChar(qFromLittleEndian<quint16>(data + 2 * i));
  return UpToZero(std::move(text));
}

QString DecodeCodePage(QByteArrayView bytes, quint16 codePage) {
  switch (codePage) {
    case 1200:
      return DecodeUtf16(bytes.constData(), quint64(bytes.size()) / 2);
    case 65001:
      return UpToZero(QString::fromUtf8(bytes));
    case 0:
    case 1252:
      return UpToZero(DecodeWindows1252(bytes));
    case 20127:
    case 28591:
      return UpToZero(QString::fromLatin1(bytes));
    default:
      break;
  }
  QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(codePage)).constData());
  if (!decoder.isValid()) decoder = QStringDecoder(QByteArray("cp" + QByteArray::number(codePage)).constData());
  if (!decoder.isValid()) return UpToZero(DecodeWindows1252(bytes));
  return UpToZero(decoder.decode(bytes));
}

}  // namespace tbx
