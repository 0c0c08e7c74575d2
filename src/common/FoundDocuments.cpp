#include "common/FoundDocuments.h"

#include <algorithm>

namespace tbx {

size_t FoundDocuments::FolderOf(qsizetype i) const {
  // The last folder whose first document is at or before i; folders without
  // documents share their first number with the next one and are passed over.
  const auto after = std::upper_bound(folders_.begin(), folders_.end(), i,
                                      [](qsizetype n, const ListedFolder& f) { return n < f.first; });
  return size_t(after - folders_.begin()) - 1;
}

QString FoundDocuments::FileName(qsizetype i) const {
  const ListedFolder& f = folders_[FolderOf(i)];
  const size_t k = size_t(i - f.first);
  const quint32 begin = k == 0 ? 0 : f.ends[k - 1];
  return QString::fromUtf8(f.names.data() + begin, qsizetype(f.ends[k] - begin));
}

quint32 FoundDocuments::AddFolder(const QString& folder) {
  folders_.push_back(ListedFolder{folder, {}, {}, size_});
  return quint32(folders_.size() - 1);
}

void FoundDocuments::Add(quint32 folder, QStringView name) {
  // Only the folder added last can grow: the numbers of the documents
  // after it would change otherwise.
  if (folder + 1 != folders_.size()) return;
  ListedFolder& f = folders_.back();
  f.names += name.toUtf8().toStdString();
  f.ends.push_back(quint32(f.names.size()));
  ++size_;
}

void FoundDocuments::AddFolder(QString folder, std::string names, std::vector<quint32> ends) {
  const qsizetype count = qsizetype(ends.size());
  folders_.push_back(ListedFolder{std::move(folder), std::move(names), std::move(ends), size_});
  size_ += count;
}

QStringList FoundDocuments::Paths(qsizetype n) const {
  if (n < 0 || n > size()) n = size();
  QStringList paths;
  paths.reserve(n);
  for (qsizetype i = 0; i < n; ++i) paths << Path(i);
  return paths;
}

}  // namespace tbx
