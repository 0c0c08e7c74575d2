#include <gtest/gtest.h>

#include "xls/BiffRecords.h"
#include "xls/SharedStrings.h"

using namespace tbx::xls;

namespace {

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

template <typename F>
QByteArray Record(F append) {
  BiffWriter out;
  append(out);
  return out.Take();
}

quint16 U16At(const QByteArray& b, qsizetype at) {
  return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

quint32 U32At(const QByteArray& b, qsizetype at) { return U16At(b, at) | (quint32(U16At(b, at + 2)) << 16); }

struct RecordView {
  quint16 type;
  qsizetype start;  // of the header
  QByteArray data;
};

std::vector<RecordView> Split(const QByteArray& b) {
  std::vector<RecordView> records;
  for (qsizetype at = 0; at + 4 <= b.size();) {
    const quint16 size = U16At(b, at + 2);
    records.push_back({U16At(b, at), at, b.mid(at + 4, size)});
    at += 4 + size;
  }
  return records;
}

}  // namespace

TEST(BiffRecords, CellRecordsHaveExactBytes) {
  EXPECT_EQ(Record([](BiffWriter& o) { AppendLabelSst(o, 1, 2, 16, 3); }),
            Hex("fd000a0001000200100003000000"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendBlank(o, 65535, 255, 17); }), Hex("01020600ffffff001100"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendRow(o, 0, 0, 3, 16); }),
            Hex("08021000000000000300ff000000000080011000"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendRow(o, 4, 1, 2, -1); }),
            Hex("08021000040001000200ff000000000000010f00"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendDimensions(o, 0, 65535, 0, 255); }),
            Hex("00020e00" "00000000" "00000100" "0000" "0001" "0000"));
}

TEST(BiffRecords, GlobalsRecordsHaveExactBytes) {
  EXPECT_EQ(Record([](BiffWriter& o) { AppendBof(o, BofKind::Globals); }),
            Hex("0908100000060500bb0dcc070000000006000000"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendFont(o, true); }),
            Hex("31001500c8000100ff7fbc020000000200000500417269616c"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendBoundSheet(o, "Tabelle1"); }),
            Hex("850010000000000000000800546162656c6c6531"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendStyle(o); }), Hex("93020400008000ff"));
}

TEST(BiffRecords, XfRecordsCarryFontFormatAndSolidFill) {
  // Text format, bold, solid fill of colour index 6 (palette entry 13, yellow).
  XfFields xf{false, kFontBold, kFormatText, 6, 0x4C};
  EXPECT_EQ(Record([&](BiffWriter& o) { AppendXf(o, xf); }),
            Hex("e0001400" "0500" "3100" "0100" "2000004c" "00000000" "00000004" "0d20"));
  EXPECT_EQ(Record([](BiffWriter& o) { AppendXf(o, XfFields{true, 0, 0, 0, 0}); }),
            Hex("e0001400" "0000" "0000" "f5ff" "20000000" "00000000" "00000000" "c020"));
}

TEST(SharedStrings, SmallTableHasCompressedAndUnicodeStringsAndIndex) {
  const QString a = "ab", b = QString::fromUtf8("ä€");
  BiffWriter out;
  out.U32(0xDEADBEEF);  // the table does not start the stream
  AppendSharedStrings(out, {a, b}, 5);
  const QByteArray bytes = out.Take().mid(4);
  EXPECT_EQ(bytes, Hex("fc001400 05000000 02000000 020000 6162 020001 e400ac20"
                       "ff000a00 0800 10000000 0c00 0000"));
}

TEST(SharedStrings, LongStringsContinueWithAFreshFlagsByte) {
  struct Case {
    QString text;
    int sstData;       // data bytes of the SST record
    int continueData;  // data bytes of the CONTINUE record
    char flags;        // first byte of the CONTINUE data
  };
  const Case cases[] = {
      // 8 + 3 + 8213 characters fill the SST; 787 follow.
      {QString(9000, 'x'), 8224, 1 + 787, 0},
      // Two-byte characters: the last odd byte stays unused.
      {QString(5000, QChar(0x20AC)), 8223, 1 + 2 * (5000 - 4106), 1},
  };
  for (const Case& c : cases) {
    BiffWriter out;
    AppendSharedStrings(out, {c.text}, 1);
    const std::vector<RecordView> records = Split(out.Take());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].type, kRecSst);
    EXPECT_EQ(records[0].data.size(), c.sstData);
    EXPECT_EQ(records[1].type, kRecContinue);
    EXPECT_EQ(records[1].data.size(), c.continueData);
    EXPECT_EQ(records[1].data[0], c.flags);
    EXPECT_EQ(records[2].type, kRecExtSst);
  }
}

TEST(SharedStrings, StringHeaderIsNeverSplitAndExtSstPointsAtStrings) {
  // The first string leaves two bytes: too few for the next header and a
  // character, so the second starts a CONTINUE with its own header.
  std::vector<QString> texts{QString(8211, 'a'), "bc"};
  for (int i = 0; i < 20; ++i) texts.push_back(QString("s%1").arg(i));
  BiffWriter out;
  AppendSharedStrings(out, std::vector<QStringView>(texts.begin(), texts.end()), 22);
  const QByteArray bytes = out.Take();
  const std::vector<RecordView> records = Split(bytes);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].data.size(), 8222);
  EXPECT_EQ(records[1].data.left(5), Hex("0200006263"));
  // EXTSST: 8 strings per bucket, each bucket naming its first string's
  // stream position and its offset within its record (header included).
  const QByteArray ext = records[2].data;
  EXPECT_EQ(U16At(ext, 0), 8);
  ASSERT_EQ(ext.size(), 2 + 3 * 8);
  EXPECT_EQ(U32At(ext, 2), 12u);
  EXPECT_EQ(U16At(ext, 6), 12);
  const quint32 ninth = U32At(ext, 10);  // texts[8] == "s6"
  EXPECT_EQ(bytes.mid(ninth, 5), Hex("0200007336"));
  EXPECT_EQ(records[1].start + U16At(ext, 14), qsizetype(ninth));
}
