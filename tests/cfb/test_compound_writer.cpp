#include <gtest/gtest.h>

#include <QBuffer>

#include "cfb/CompoundFileWriter.h"

using namespace tbx;

TEST(CompoundFileWriter, RejectsBadAndDuplicateNames) {
  CompoundFileWriter writer;
  EXPECT_TRUE(writer.AddStream(QStringLiteral("Workbook"), QByteArray("x")));
  struct Case {
    QString name;
    const char* why;
  };
  const Case rejected[] = {
      {QStringLiteral("WORKBOOK"), "same name in other case"},
      {QString(), "empty"},
      {QString(32, u'a'), "longer than 31 code units"},
      {QStringLiteral("a/b"), "slash"},
      {QStringLiteral("a\\b"), "backslash"},
      {QStringLiteral("a:b"), "colon"},
      {QStringLiteral("a!b"), "exclamation mark"},
  };
  for (const Case& c : rejected) EXPECT_FALSE(writer.AddStream(c.name, QByteArray("y"))) << c.why;
  EXPECT_TRUE(writer.AddStream(QString(31, u'a'), QByteArray()));
  EXPECT_TRUE(writer.AddStream(QStringLiteral("stückliste"), QByteArray()));
  EXPECT_FALSE(writer.AddStream(QStringLiteral("STüCKLISTE"), QByteArray()));
}

TEST(CompoundFileWriter, WriteToGivesTheSerializedBytes) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("a"), QByteArray(100, 'a'));
  writer.AddStream(QStringLiteral("b"), QByteArray(5000, 'b'));
  QByteArray written;
  QBuffer buffer(&written);
  ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
  ASSERT_TRUE(writer.WriteTo(buffer));
  EXPECT_EQ(written, writer.Serialize());
  EXPECT_EQ(written.size() % 512, 0);
}

TEST(CompoundFileWriter, ReportsARefusingDevice) {
  CompoundFileWriter writer;
  writer.AddStream(QStringLiteral("a"), QByteArray(100, 'a'));
  QBuffer readOnly;
  ASSERT_TRUE(readOnly.open(QIODevice::ReadOnly));
  EXPECT_FALSE(writer.WriteTo(readOnly));
}
