#include "propset/CodePage.h"

#include <QStringDecoder>
#include <QtEndian>

namespace tbx {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five undefined
// positions keep their C1 code, as the Windows conversion does.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString UpToZero(QString text) {
  const qsizetype zero = text.indexOf(QChar(0));
  if (zero >= 0) text.truncate(zero);
  return text;
}

}  // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const uchar c = uchar(bytes[i]);
    text[i] = QChar(c >= 0x80 && c < 0xA0 ? k1252High[c - 0x80] : char16_t(c));
  }
  return text;
}

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
