#include "PropertySetWriter.h"

#include <QStringEncoder>
#include <QtEndian>
#include <cmath>

namespace tbx::samplegen {
namespace {

class Out {
 public:
  template <typename T>
  void Put(T v) {
    char b[sizeof(T)];
    qToLittleEndian(v, b);
    bytes.append(b, sizeof(T));
  }
  void Pad() {
    while (bytes.size() % 4) bytes.append('\0');
  }
  QByteArray bytes;
};

QByteArray Encode(const QString& text, quint16 codePage) {
  if (codePage == 1200) {
    QByteArray b;
    for (QChar c : text) {
      b.append(char(c.unicode() & 0xFF));
      b.append(char(c.unicode() >> 8));
    }
    return b;
  }
  if (codePage == 65001) return text.toUtf8();
  QStringEncoder encoder("windows-1252");
  return encoder.encode(text);
}

void PutCodePageString(Out& out, const QString& text, quint16 codePage) {
  QByteArray b = Encode(text, codePage);
  b.append(codePage == 1200 ? QByteArray(2, '\0') : QByteArray(1, '\0'));
  out.Put<quint32>(quint32(b.size()));
  out.bytes.append(b);
  out.Pad();
}

void PutScalar(Out& out, quint16 type, const QVariant& v, quint16 codePage) {
  switch (type) {
    case VT_I2:
      out.Put<qint16>(qint16(v.toLongLong()));
      break;
    case VT_BOOL:
      out.Put<qint16>(v.toLongLong() ? -1 : 0);
      break;
    case VT_I4:
      out.Put<qint32>(qint32(v.toLongLong()));
      break;
    case VT_UI4:
      out.Put<quint32>(quint32(v.toLongLong()));
      break;
    case VT_I8:
      out.Put<qint64>(v.toLongLong());
      break;
    case VT_R4:
      out.Put<float>(float(v.toDouble()));
      break;
    case VT_R8:
    case VT_DATE:
      out.Put<double>(v.toDouble());
      break;
    case VT_CY:
      out.Put<qint64>(qint64(std::llround(v.toDouble() * 10000.0)));
      break;
    case VT_FILETIME:
      out.Put<quint64>(v.toULongLong());
      break;
    case VT_LPSTR:
      PutCodePageString(out, v.toString(), codePage);
      break;
    case VT_LPWSTR: {
      const QString text = v.toString();
      out.Put<quint32>(quint32(text.size() + 1));
      for (QChar c : text) out.Put<quint16>(c.unicode());
      out.Put<quint16>(0);
      break;
    }
    case VT_BLOB:
    case VT_CF: {
      const QByteArray data = v.toByteArray();
      out.Put<quint32>(quint32(data.size()));
      out.bytes.append(data);
      break;
    }
    default:
      break;  // VT_EMPTY and VT_NULL carry nothing
  }
  out.Pad();
}

void PutValue(Out& out, const SampleProperty& p, quint16 codePage) {
  out.Put<quint32>(p.type);
  if (!(p.type & VT_VECTOR)) return PutScalar(out, p.type, p.value, codePage);
  const QStringList items = p.value.toStringList();
  out.Put<quint32>(quint32(items.size()));
  for (const QString& item : items) {
    if ((p.type & 0xFFF) == VT_VARIANT) out.Put<quint32>(VT_LPSTR);
    PutCodePageString(out, item, codePage);
  }
}

QByteArray WriteSection(const SampleSection& section) {
  struct Entry {
    quint32 id;
    QByteArray value;
  };
  std::vector<Entry> entries;
  {
    Out cp;
    cp.Put<quint32>(VT_I2);
    cp.Put<qint16>(qint16(section.codePage));  // stored signed: 65001 becomes -535
    cp.Pad();
    entries.push_back({1, cp.bytes});
  }
  Out dictionary;
  quint32 named = 0;
  for (const SampleProperty& p : section.properties) {
    if (p.name.isEmpty()) continue;
    ++named;
    dictionary.Put<quint32>(p.id);
    if (section.codePage == 1200) {
      dictionary.Put<quint32>(quint32(p.name.size() + 1));
      for (QChar c : p.name) dictionary.Put<quint16>(c.unicode());
      dictionary.Put<quint16>(0);
      dictionary.Pad();
    } else {
      const QByteArray b = Encode(p.name, section.codePage) + '\0';
      dictionary.Put<quint32>(quint32(b.size()));
      dictionary.bytes.append(b);
    }
  }
  if (named > 0) {
    Out d;
    d.Put<quint32>(named);
    d.bytes.append(dictionary.bytes);
    d.Pad();
    entries.insert(entries.begin(), {0, d.bytes});
  }
  for (const SampleProperty& p : section.properties) {
    Out v;
    PutValue(v, p, section.codePage);
    entries.push_back({p.id, v.bytes});
  }
  Out out;
  const quint32 tableEnd = 8 + 8 * quint32(entries.size());
  quint32 offset = tableEnd, size = tableEnd;
  for (const Entry& e : entries) size += quint32(e.value.size());
  out.Put<quint32>(size);
  out.Put<quint32>(quint32(entries.size()));
  for (const Entry& e : entries) {
    out.Put<quint32>(e.id);
    out.Put<quint32>(offset);
    offset += quint32(e.value.size());
  }
  for (const Entry& e : entries) out.bytes.append(e.value);
  return out.bytes;
}

void PutGuid(Out& out, const QUuid& id) {
  out.Put<quint32>(id.data1);
  out.Put<quint16>(id.data2);
  out.Put<quint16>(id.data3);
  out.bytes.append(reinterpret_cast<const char*>(id.data4), 8);
}

}  // namespace

QByteArray WritePropertySetStream(const std::vector<SampleSection>& sections) {
  Out out;
  out.Put<quint16>(0xFFFE);
  out.Put<quint16>(0);
  out.Put<quint32>(0x00020006);  // written on a 32-bit Windows
  out.bytes.append(QByteArray(16, '\0'));
  out.Put<quint32>(quint32(sections.size()));
  std::vector<QByteArray> bodies;
  for (const SampleSection& s : sections) bodies.push_back(WriteSection(s));
  quint32 offset = 28 + 20 * quint32(sections.size());
  for (size_t i = 0; i < sections.size(); ++i) {
    PutGuid(out, sections[i].formatId);
    out.Put<quint32>(offset);
    offset += quint32(bodies[i].size());
  }
  for (const QByteArray& body : bodies) out.bytes.append(body);
  return out.bytes;
}

}  // namespace tbx::samplegen
