#pragma once
// Text from bytes in the encodings of the Windows systems that CAD documents,
// file servers and configuration files come from.
#include <QByteArrayView>
#include <QString>

namespace tbx {

// Text in Windows-1252, every byte of it (NUL included).
QString DecodeWindows1252(QByteArrayView bytes);

// UTF-8 when the bytes are valid UTF-8, else Windows-1252: names and files
// from one system may be either, and valid UTF-8 is almost never meant as
// Windows-1252. utf8, when given, tells which it was.
QString DecodeUtf8OrWindows1252(QByteArrayView bytes, bool* utf8 = nullptr);

// A whole text file: a byte-order mark decides (UTF-8, UTF-16 LE or BE, as
// Windows editors save "Unicode" files) and is dropped; without one, UTF-8
// or Windows-1252 as above. A UTF-16 file with an odd byte count loses its
// last byte.
QString DecodeTextFile(QByteArrayView bytes);

}  // namespace tbx
