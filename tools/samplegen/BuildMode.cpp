#include "BuildMode.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cstdio>

#include "SampleDocument.h"

namespace tbx::samplegen {
namespace {

QVariant SpecValue(quint16 type, const QJsonValue& v) {
  if (v.isArray()) return v.toVariant().toStringList();
  if (v.isBool()) return qint64(v.toBool());
  if (type == VT_FILETIME) return v.toString().toULongLong();
  if (type == VT_BLOB || type == VT_CF) return QByteArray::fromHex(v.toString().toLatin1());
  if (v.isDouble())
    return (type == VT_R4 || type == VT_R8 || type == VT_CY || type == VT_DATE) ? QVariant(v.toDouble()) : QVariant(qint64(v.toDouble()));
  return v.toString();
}

SampleSection SpecSection(const QJsonObject& o) {
  SampleSection section;
  section.formatId = QUuid::fromString(o.value("formatId").toString());
  section.codePage = quint16(o.value("codePage").toInt(1252));
  for (const QJsonValue& pv : o.value("properties").toArray()) {
    const QJsonObject p = pv.toObject();
    const quint16 type = quint16(p.value("type").toInt());
    section.properties.push_back(SampleProperty{quint32(p.value("id").toDouble()), p.value("name").toString(), type,
                                                SpecValue(type, p.value("value")), QString()});
  }
  return section;
}

}  // namespace

int BuildFromSpec(const QString& specPath, const QString& out) {
  QFile file(specPath);
  QJsonParseError error{};
  const QJsonDocument layout =
      file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll(), &error) : QJsonDocument();
  if (!layout.isObject()) {
    std::fprintf(stderr, "build: %s ist keine lesbare JSON-Beschreibung\n", qPrintable(specPath));
    return 2;
  }
  SampleDocument doc;
  for (const QJsonValue& sv : layout.object().value("streams").toArray()) {
    const QJsonObject s = sv.toObject();
    SampleStream stream{s.value("name").toString(), {}, QByteArray::fromHex(s.value("hex").toString().toLatin1())};
    for (const QJsonValue& section : s.value("sections").toArray())
      stream.sections.push_back(SpecSection(section.toObject()));
    doc.streams.push_back(std::move(stream));
  }
  QSaveFile target(out);
  const QByteArray bytes = BuildFile(doc);
  if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() || !target.commit()) {
    std::fprintf(stderr, "build: %s kann nicht geschrieben werden\n", qPrintable(out));
    return 1;
  }
  return 0;
}

}  // namespace tbx::samplegen
