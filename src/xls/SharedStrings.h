#pragma once
// The shared string table of a workbook (SST with its CONTINUE records) and
// the EXTSST index that lets a reader jump into it.
#include <QStringView>
#include <vector>

#include "xls/BiffWriter.h"

namespace tbx::xls {

// Most data bytes one record may carry.
inline constexpr int kMaxRecordData = 8224;

// Appends SST, its CONTINUE records and EXTSST. texts are the distinct
// strings in table order; references is the number of cells that use them.
// Offsets in EXTSST are stream positions, so out must hold the stream from
// its first byte.
void AppendSharedStrings(BiffWriter& out, const std::vector<QStringView>& texts,
                         quint32 references);

}  // namespace tbx::xls
