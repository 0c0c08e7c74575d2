#include "xls/SharedStrings.h"

#include <algorithm>

#include "xls/BiffRecords.h"

namespace tbx::xls {
namespace {

// Readers keep at most this many EXTSST buckets; larger tables put more
// strings into each bucket instead.
constexpr int kMaxBuckets = 128;
constexpr int kMinStringsPerBucket = 8;
constexpr int kStringHeaderSize = 3;  // character count and flags

struct Bucket {
  quint32 streamPosition;
  quint16 recordOffset;
};

// Splits the table over SST and CONTINUE records by the format's rules: a
// string's header never straddles two records, and where its characters do,
// the continuation starts with a fresh flags byte. Characters are UTF-16
// code units, so a two-byte character is never cut in half.
class SstWriter {
 public:
  explicit SstWriter(BiffWriter& out) : out_(out) {}

  void Begin(quint32 references, quint32 unique) {
    StartRecord(kRecSst);
    out_.U32(references);
    out_.U32(unique);
    used_ = 8;
  }

  // Writes one string; returns where it starts, for EXTSST.
  Bucket Add(QStringView text) {
    const bool compressed = FitsCompressed(text);
    const int unit = compressed ? 1 : 2;
    const auto count = static_cast<int>(text.size());
    const int needed = kStringHeaderSize + (count > 0 ? unit : 0);
    if (used_ + needed > kMaxRecordData) StartRecord(kRecContinue);
    const Bucket start{static_cast<quint32>(out_.Position()),
                       static_cast<quint16>(out_.Position() - recordStart_)};
    out_.U16(static_cast<quint16>(count));
    out_.U8(compressed ? 0 : 1);
    used_ += kStringHeaderSize;
    int written = 0;
    while (written < count) {
      const int room = (kMaxRecordData - used_) / unit;
      if (room == 0) {
        StartRecord(kRecContinue);
        out_.U8(compressed ? 0 : 1);
        used_ = 1;
        continue;
      }
      const int chunk = std::min(room, count - written);
      out_.Chars(text, written, chunk, compressed);
      used_ += chunk * unit;
      written += chunk;
    }
    return start;
  }

  void End() { out_.PatchU16(recordStart_ + 2, static_cast<quint16>(used_)); }

 private:
  void StartRecord(quint16 type) {
    if (recordStart_ >= 0) End();
    recordStart_ = out_.Position();
    out_.Header(type, 0);
    used_ = 0;
  }

  BiffWriter& out_;
  qsizetype recordStart_ = -1;
  int used_ = 0;
};

void AppendExtSst(BiffWriter& out, int stringsPerBucket, const std::vector<Bucket>& buckets) {
  out.Header(kRecExtSst, static_cast<quint16>(2 + 8 * buckets.size()));
  out.U16(static_cast<quint16>(stringsPerBucket));
  for (const Bucket& b : buckets) {
    out.U32(b.streamPosition);
    out.U16(b.recordOffset);
    out.U16(0);
  }
}

}  // namespace

void AppendSharedStrings(BiffWriter& out, const std::vector<QStringView>& texts,
                         quint32 references) {
  const auto unique = static_cast<int>(texts.size());
  const int perBucket =
      std::max(kMinStringsPerBucket, (unique + kMaxBuckets - 1) / kMaxBuckets);
  std::vector<Bucket> buckets;
  SstWriter sst(out);
  sst.Begin(references, static_cast<quint32>(unique));
  for (int i = 0; i < unique; ++i) {
    const Bucket start = sst.Add(texts[static_cast<size_t>(i)]);
    if (i % perBucket == 0) buckets.push_back(start);
  }
  sst.End();
  AppendExtSst(out, perBucket, buckets);
}

}  // namespace tbx::xls
