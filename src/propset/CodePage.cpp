#include "propset/CodePage.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

#include "text/Encodings.h"

namespace tbx {
namespace {

QString UpToZero(QString text) {
  const qsizetype zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

// The bytes before the first zero byte. In single-byte code pages and in
// UTF-8 a zero byte is a zero character, so the text can be cut before it
// is decoded rather than searched after.
QByteArrayView UpToZeroByte(QByteArrayView bytes) {
  const void* zero = std::memchr(bytes.data(), 0, size_t(bytes.size()));
  return zero ? bytes.first(static_cast<const char*>(zero) - bytes.data()) : bytes;
}

}  // namespace

QString DecodeUtf16(const char* data, quint64 units) {
  quint64 length = 0;
  while (length < units && qFromLittleEndian<quint16>(data + 2 * length) != 0) ++length;
  QString text(qsizetype(length), Qt::Uninitialized);
  QChar* out = text.data();
  for (quint64 i = 0; i < length; ++i) out[i] = QChar(qFromLittleEndian<quint16>(data + 2 * i));
  return text;
}

QString DecodeCodePage(QByteArrayView bytes, quint16 codePage) {
  switch (codePage) {
    case 1200:
      return DecodeUtf16(bytes.constData(), quint64(bytes.size()) / 2);
    case 65001:
      return QString::fromUtf8(UpToZeroByte(bytes));
    case 0:
    case 1252:
      return DecodeWindows1252(UpToZeroByte(bytes));
    case 20127:
    case 28591:
      return QString::fromLatin1(UpToZeroByte(bytes));
    default:
      break;
  }
  QStringDecoder decoder(QByteArray("windows-" + QByteArray::number(codePage)).constData());
  if (!decoder.isValid()) decoder = QStringDecoder(QByteArray("cp" + QByteArray::number(codePage)).constData());
  if (!decoder.isValid()) return UpToZero(DecodeWindows1252(bytes));
  return UpToZero(decoder.decode(bytes));
}

}  // namespace tbx
