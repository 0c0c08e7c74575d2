#pragma once
// "build" mode: a document exactly as a JSON description gives it, for tests
// that need particular sets, names, types and stream orders.
#include <QString>

namespace tbx::samplegen {

// layout: {"streams":[{"name":"\u0005SummaryInformation","sections":[{"formatId":"F29F85E0-...",
// "codePage":1252,"properties":[{"id":4,"name":"","type":30,"value":"Anna"}]}]},
// {"name":"JSite","hex":"00ff"}]}. Values: text for string types, numbers for
// numeric types (VT_FILETIME as a text of ticks, VT_DATE as days), true/false
// for VT_BOOL, an array of texts for vectors, hex text for blobs.
int BuildFromSpec(const QString& specPath, const QString& out);

}  // namespace tbx::samplegen
