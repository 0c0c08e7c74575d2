#pragma once
// Reads a workbook back with xlrd and olefile (tests/xls/xls_dump.py)
// and checks that neither reader complained.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <map>

#include "TestSupport.h"

namespace tbx::test {

struct ReadBack {
  QJsonObject all;
  QJsonObject sheet;  // the first sheet
  std::map<std::pair<int, int>, QJsonObject> cells;

  const QJsonObject& Cell(int row, int col) const {  // 1-based like the writer's callers
    static const QJsonObject none;
    const auto it = cells.find({row - 1, col - 1});
    return it == cells.end() ? none : it->second;
  }
};

// What xls_dump.py prints for the workbook at path; empty when it did not finish.
inline QJsonObject DumpWorkbook(const QString& path) {
  QProcess python;
  python.start("/usr/bin/python3", {test::SourceDir() + "/tests/xls/xls_dump.py", path});
  if (!python.waitForFinished(300000)) return {};
  return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

inline ReadBack Read(const QString& path) {
  ReadBack r;
  r.all = DumpWorkbook(path);
  EXPECT_FALSE(r.all.isEmpty()) << "xls_dump.py did not finish";
  EXPECT_FALSE(r.all.contains("error")) << r.all["error"].toString().toStdString();
  EXPECT_EQ(r.all["complaints"].toArray(), QJsonArray()) << QJsonDocument(r.all["complaints"].toArray()).toJson().toStdString();
  EXPECT_EQ(r.all["streams"].toArray(), QJsonArray{"Workbook"});
  EXPECT_GE(r.all["workbook_size"].toInt(), 4096);
  r.sheet = r.all["sheets"].toArray().first().toObject();
  for (const QJsonValue& v : r.sheet["cells"].toArray()) {
    const QJsonObject c = v.toObject();
    r.cells[{c["row"].toInt(), c["col"].toInt()}] = c;
  }
  return r;
}

}  // namespace tbx::test
