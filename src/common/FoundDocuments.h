#pragma once
// The found-documents list: the documents a scan found, in walk order. A
// file server holds a million documents easily, and a list of their full
// paths as text made such a run take 400 MB; this one keeps each folder once,
// with its documents' names as UTF-8 bytes one after the other: the name and
// 4 bytes a document. The scan hands each folder's names over as they are,
// so the list is never built beside a copy of itself.
#include <QString>
#include <QStringList>
#include <QStringView>
#include <string>
#include <vector>

namespace tbx {

class FoundDocuments {
 public:
  qsizetype size() const { return size_; }
  bool isEmpty() const { return size_ == 0; }

  // The folder of document i, with its trailing separator.
  const QString& Folder(qsizetype i) const { return folders_[FolderOf(i)].path; }
  QString FileName(qsizetype i) const;
  QString Path(qsizetype i) const { return Folder(i) + FileName(i); }

  // Adds a folder (with its trailing separator) and returns its number for Add.
  quint32 AddFolder(const QString& folder);
  // Adds a document named name to the folder AddFolder added last (folder).
  void Add(quint32 folder, QStringView name);
  // Adds a folder with its documents at once: names holds their UTF-8 names
  // one after the other, ends where each ends.
  void AddFolder(QString folder, std::string names, std::vector<quint32> ends);

  // The first n paths (or all), for callers that want text.
  QStringList Paths(qsizetype n = -1) const;

 private:
  struct ListedFolder {
    QString path;
    std::string names;
    std::vector<quint32> ends;  // where each name ends in names
    qsizetype first = 0;        // the number of its first document
  };
  size_t FolderOf(qsizetype i) const;

  std::vector<ListedFolder> folders_;
  qsizetype size_ = 0;
};

}  // namespace tbx
