#include "common/FoundDocuments.h"

namespace tbx {

QString FoundDocuments::FileName(qsizetype i) const {
  const Entry& e = entries_[size_t(i)];
  return QString::fromUtf8(names_.constData() + e.offset, qsizetype(e.length));
}

void FoundDocuments::Reserve(qsizetype documents, qsizetype nameBytes) {
  entries_.reserve(entries_.size() + size_t(documents));
  names_.reserve(names_.size() + nameBytes);
}

quint32 FoundDocuments::AddFolder(const QString& folder) {
  folders_.push_back(folder);
  return quint32(folders_.size() - 1);
}

void FoundDocuments::Add(quint32 folder, QStringView name) {
  const QByteArray utf8 = name.toUtf8();
  AddUtf8(folder, utf8.constData(), quint32(utf8.size()));
}

void FoundDocuments::AddUtf8(quint32 folder, const char* name, quint32 length) {
  entries_.push_back(Entry{folder, length, quint64(names_.size())});
  names_.append(name, qsizetype(length));
}

QStringList FoundDocuments::Paths(qsizetype n) const {
  if (n < 0 || n > size()) n = size();
  QStringList paths;
  paths.reserve(n);
  for (qsizetype i = 0; i < n; ++i) paths << Path(i);
  return paths;
}

}  // namespace tbx
