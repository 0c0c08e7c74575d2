#include "text/Encodings.h"

#include <QStringDecoder>

namespace tbx {
namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five undefined
// positions keep their C1 code, as the Windows conversion does.
constexpr char16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian) {
  QString text(bytes.size() / 2, Qt::Uninitialized);
  const auto* b = reinterpret_cast<const uchar*>(bytes.data());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const uchar hi = b[2 * i + (bigEndian ? 0 : 1)], lo = b[2 * i + (bigEndian ? 1 : 0)];
    text[i] = QChar(char16_t((hi << 8) | lo));
  }
  return text;
}

}  // namespace

QString DecodeWindows1252(QByteArrayView bytes) {
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const uchar c = uchar(bytes[i]);
    out[i] = QChar(c >= 0x80 && c < 0xA0 ? k1252High[c - 0x80] : char16_t(c));
  }
  return text;
}

QString DecodeUtf8OrWindows1252(QByteArrayView bytes, bool* utf8) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (utf8) *utf8 = !decoder.hasError();
  return decoder.hasError() ? DecodeWindows1252(bytes) : text;
}

QString DecodeTextFile(QByteArrayView bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return DecodeUtf8OrWindows1252(bytes.sliced(3));
  if (bytes.startsWith("\xFF\xFE")) return DecodeUtf16(bytes.sliced(2), false);
  if (bytes.startsWith("\xFE\xFF")) return DecodeUtf16(bytes.sliced(2), true);
  return DecodeUtf8OrWindows1252(bytes);
}

}  // namespace tbx
