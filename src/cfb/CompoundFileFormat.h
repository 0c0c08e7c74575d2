#pragma once
// Fixed numbers of the compound-file format, shared by reader and writer.
#include <QtGlobal>

namespace tbx::cfb {

inline constexpr unsigned char kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

// Special sector numbers.
inline constexpr quint32 kMaxRegularSector = 0xFFFFFFFA;
inline constexpr quint32 kDifSect = 0xFFFFFFFC;
inline constexpr quint32 kFatSect = 0xFFFFFFFD;
inline constexpr quint32 kEndOfChain = 0xFFFFFFFE;
inline constexpr quint32 kFreeSect = 0xFFFFFFFF;
inline constexpr quint32 kNoStream = 0xFFFFFFFF;

inline constexpr int kHeaderSize = 512;
inline constexpr int kSectorSize = 512;  // what the writer produces (version 3)
inline constexpr int kMiniSectorSize = 64;
inline constexpr quint32 kMiniStreamCutoff = 4096;
inline constexpr int kIdsPerSector = kSectorSize / 4;
inline constexpr quint32 kHeaderDifatEntries = 109;
inline constexpr int kHeaderDifatOffset = 0x4C;
inline constexpr int kHeaderDirectoryStartOffset = 0x30;
inline constexpr int kHeaderMiniFatStartOffset = 0x3C;
inline constexpr quint32 kDifatEntriesPerSector = kIdsPerSector - 1;
inline constexpr quint64 kMaxStreamSizeV3 = 0x80000000ULL;

// Directory entries.
inline constexpr int kDirEntrySize = 128;
inline constexpr int kDirEntriesPerSector = kSectorSize / kDirEntrySize;
inline constexpr int kMaxNameLength = 31;
inline constexpr int kDirNameLengthOffset = 0x40;
inline constexpr int kDirTypeOffset = 0x42;
inline constexpr int kDirColorOffset = 0x43;
inline constexpr int kDirLeftOffset = 0x44;
inline constexpr int kDirRightOffset = 0x48;
inline constexpr int kDirChildOffset = 0x4C;
inline constexpr int kDirStartOffset = 0x74;
inline constexpr int kDirSizeOffset = 0x78;
inline constexpr quint8 kTypeUnused = 0;
inline constexpr quint8 kTypeStorage = 1;
inline constexpr quint8 kTypeStream = 2;
inline constexpr quint8 kTypeRoot = 5;
inline constexpr quint8 kColorRed = 0;
inline constexpr quint8 kColorBlack = 1;

}  // namespace tbx::cfb
