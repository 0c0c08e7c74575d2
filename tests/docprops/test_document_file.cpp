#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "docprops/DocumentFile.h"

#include <sys/stat.h>

using namespace tbx;

namespace {

QByteArray Pattern(qsizetype size) {
  QByteArray bytes(size, Qt::Uninitialized);
  for (qsizetype i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
  return bytes;
}

}  // namespace

// Reads from the part held since opening, from the file behind it, and
// across the border give the file's bytes; ranges outside it fail.
TEST(DocumentFile, ReadsInsideAndBehindTheHead) {
  QTemporaryDir dir;
  const QByteArray bytes = Pattern(200 * 1024);
  const QString path = dir.path() + "/gross.par";
  ASSERT_TRUE(test::WriteTextFile(path, bytes));
  DocumentFile source;
  ASSERT_EQ(source.Open(path), ReadStatus::ok);
  ASSERT_EQ(source.Size(), quint64(bytes.size()));
  const struct {
    quint64 offset, size;
  } ranges[] = {{0, 512}, {65536 - 10, 10}, {65536 - 10, 20}, {65536, 4096}, {150000, 50000}, {204800, 0}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(r.offset);
    QByteArray out(qsizetype(r.size), '\0');
    ASSERT_TRUE(source.ReadAt(r.offset, out.data(), r.size));
    EXPECT_EQ(out, bytes.mid(qsizetype(r.offset), qsizetype(r.size)));
  }
  char c = 0;
  EXPECT_FALSE(source.ReadAt(204800, &c, 1));
  EXPECT_FALSE(source.ReadAt(204801, &c, 0));

  // A file cut short after opening fails behind the head like before.
  ASSERT_TRUE(QFile::resize(path, 100 * 1024));
  QByteArray out(4096, '\0');
  EXPECT_FALSE(source.ReadAt(150000, out.data(), 4096));
}

TEST(DocumentFile, SmallFileIsHeldWhole) {
  QTemporaryDir dir;
  const QByteArray bytes = Pattern(3000);
  const QString path = dir.path() + "/klein.par";
  ASSERT_TRUE(test::WriteTextFile(path, bytes));
  DocumentFile source;
  ASSERT_EQ(source.Open(path), ReadStatus::ok);
  // Emptied after opening, the source still answers from what it read.
  ASSERT_TRUE(QFile::resize(path, 0));
  QByteArray out(3000, '\0');
  ASSERT_TRUE(source.ReadAt(0, out.data(), 3000));
  EXPECT_EQ(out, bytes);
}

TEST(DocumentFile, RefusesWhatIsNoReadableFile) {
  DocumentFile missing, folder, pipe;
  EXPECT_EQ(missing.Open(QStringLiteral("/nonexistent/teil.par")), ReadStatus::file_not_found);
  EXPECT_EQ(folder.Open(QStringLiteral("/")), ReadStatus::is_a_folder);
  QTemporaryDir dir;
  const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("rohr.par")));
  ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
  EXPECT_EQ(pipe.Open(QFile::decodeName(fifo)), ReadStatus::cannot_open) << "a named pipe must not block";
}
