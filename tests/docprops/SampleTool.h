#pragma once
// Documents for the docprops tests, written by tbx-samplegen (which has its
// own property-set writer, so that a mistake of the reader shows up).
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <ostream>

#include "TestSupport.h"

namespace tbx::test {

inline const char kSummaryId[] = "F29F85E0-4FF9-1068-AB91-08002B27B3D9";
inline const char kDocSummaryId[] = "D5CDD502-2E9C-101B-9397-08002B2CF9AE";
inline const char kExtendedId[] = "CC024FA2-6EB5-11CE-8AA2-08003601E988";
inline const char kProjectId[] = "F0D6D0B1-A0D8-11CE-8AA2-08003601E988";
inline const char kMechanicalId[] = "CC024FCA-6EB5-11CE-8AA2-08003601E988";
inline const char kCustomId[] = "D5CDD505-2E9C-101B-9397-08002B2CF9AE";

inline bool RunSampleGen(const QStringList& args) {
  QProcess process;
  process.setProcessChannelMode(QProcess::ForwardedChannels);
  process.start(ToolsDir() + QStringLiteral("/tbx-samplegen"), args);
  return process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

inline QJsonObject Prop(int id, int type, const QJsonValue& value, const QString& name = {}) {
  return QJsonObject{{"id", id}, {"type", type}, {"value", value}, {"name", name}};
}

inline QJsonObject Section(const char* formatId, QJsonArray properties, int codePage = 1252) {
  return QJsonObject{{"formatId", QString::fromLatin1(formatId)}, {"codePage", codePage}, {"properties", properties}};
}

inline QJsonObject Stream(const QString& name, QJsonArray sections) {
  return QJsonObject{{"name", QChar(0x05) + name}, {"sections", sections}};
}

// Writes a document with these streams into dir; returns its path ("" on failure).
inline QString BuildDocument(const QString& dir, const QString& name, const QJsonArray& streams) {
  const QString layout = dir + u'/' + name + QStringLiteral(".json");
  const QString path = dir + u'/' + name;
  if (!WriteTextFile(layout, QJsonDocument(QJsonObject{{"streams", streams}}).toJson())) return QString();
  return RunSampleGen({QStringLiteral("build"), path, layout}) ? path : QString();
}

inline QJsonObject ReadJson(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

}  // namespace tbx::test
