#pragma once
// The found-documents list: the documents a scan found, in walk order. A
// file server holds a million documents easily, and a list of their full
// paths as text made such a run take 400 MB; this one keeps each folder once
// and each name as UTF-8 bytes: 16 bytes and the name a document.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

namespace tbx {

class FoundDocuments {
 public:
  qsizetype size() const { return qsizetype(entries_.size()); }
  bool isEmpty() const { return entries_.empty(); }

  // The folder of document i, with its trailing separator.
  const QString& Folder(qsizetype i) const { return folders_[entries_[size_t(i)].folder]; }
  QString FileName(qsizetype i) const;
  QString Path(qsizetype i) const { return Folder(i) + FileName(i); }

  // Makes room for documents and name bytes still to come.
  void Reserve(qsizetype documents, qsizetype nameBytes);
  // Adds a folder (with its trailing separator) and returns its number for Add.
  quint32 AddFolder(const QString& folder);
  // Adds a document named name in a folder AddFolder gave.
  void Add(quint32 folder, QStringView name);
  // The same with the name as UTF-8 bytes.
  void AddUtf8(quint32 folder, const char* name, quint32 length);

  // The first n paths (or all), for callers that want text.
  QStringList Paths(qsizetype n = -1) const;

 private:
  struct Entry {
    quint32 folder;
    quint32 length;  // of the name in bytes
    quint64 offset;  // of the name in names_
  };
  std::vector<QString> folders_;
  std::vector<Entry> entries_;
  QByteArray names_;
};

}  // namespace tbx
