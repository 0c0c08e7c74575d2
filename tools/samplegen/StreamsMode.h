#pragma once
// "streams" mode: a compound file whose streams hold a known byte pattern, so
// that an independent reader can check every byte the writer placed.
#include <QStringList>

namespace tbx::samplegen {

// Byte k of the stream with index j (0-based, in command-line order).
inline char PatternByte(qint64 k, int j) { return char((k * 7 + j * 13 + k / 251) & 0xFF); }

// args: OUT NAME:SIZE...; returns the exit status.
int RunStreamsMode(const QStringList& args);

}  // namespace tbx::samplegen
