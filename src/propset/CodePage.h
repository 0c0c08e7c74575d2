#pragma once
// Text in a property set's code page.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tbx {

// Decodes bytes in the code page a section names (1200 UTF-16LE, 65001
// UTF-8, 1252 and whatever else the system converter knows; an unknown or
// missing code page is read as 1252, the code page of the systems these
// documents come from). The text ends at the first zero character.
QString DecodeCodePage(QByteArrayView bytes, quint16 codePage);

// UTF-16LE text of `units` code units, ending at the first zero.
QString DecodeUtf16(const char* data, quint64 units);

}  // namespace tbx
