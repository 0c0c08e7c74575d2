// Names for a library that opens files with the C runtime's narrow calls
// (libxlsxwriter): on Windows the ANSI code page leaves out a profile named
// in another script, and the short name must stand in.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "platform/FileSystem.h"

using namespace tbx;

TEST(NarrowFileName, TheCRuntimeOpensTheFileUnderIt) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const QString& folder : {QStringLiteral("Temp"), QStringLiteral("Jürgen"), QStringLiteral("Временно"),
                               QStringLiteral("Teil_😀")}) {
    SCOPED_TRACE(folder.toStdString());
    ASSERT_TRUE(QDir(dir.path()).mkdir(folder));
    const QString path = dir.path() + u'/' + folder + QStringLiteral("/mappe.xlsx");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PK");
    file.close();
    const QByteArray narrow = NarrowFileName(path);
    ASSERT_FALSE(narrow.isEmpty());
    std::FILE* opened = std::fopen(narrow.constData(), "rb");
    EXPECT_NE(opened, nullptr);
    if (opened) std::fclose(opened);
  }
}
