#pragma once
// The file-properties library of CAD documents: opens a document read-only
// and presents its property sets, each with a name, a by-name look-up and
// its properties in stored order. An open FilePropertySets holds everything
// it parsed and may be queried any number of times.
#include <QString>
#include <QUuid>
#include <QVariant>
#include <memory>
#include <vector>

#include "cfb/ByteSource.h"
#include "cfb/ReadStatus.h"

namespace tbx {

struct KnownPropertySet;
struct PropertySection;

struct FileProperty {
  qint32 id = 0;
  quint16 type = 0;

  // The value, decoded on every call; invalid when it has no text form.
  QVariant Value() const;

 private:
  friend class FilePropertySets;
  QByteArray stream_;  // shared with the set's other properties
  quint32 sectionStart_ = 0, sectionSize_ = 0, offset_ = 0;
  quint16 codePage_ = 0;
};

class FilePropertySet {
 public:
  const QString& Name() const { return name_; }
  const QUuid& FormatId() const { return formatId_; }
  // The property a name designates: a name from the set's dictionary or one
  // of the set's built-in English names, compared without regard to case;
  // nullptr when the set holds no such property.
  const FileProperty* Item(const QString& name) const;
  // The parts of Item, for a caller that knows the built-in identifier of a
  // name beforehand: the property the dictionary names so, and the property
  // with an identifier (nullptr when there is none).
  const FileProperty* ByDictionaryName(const QString& name) const;
  const FileProperty* WithId(quint32 id) const;
  // The known set it is, nullptr for a set the library does not know.
  const KnownPropertySet* Known() const { return known_; }
  // Every property in the order the document stores them.
  const std::vector<FileProperty>& Properties() const { return properties_; }
  // A property's name: from the set's dictionary or the built-in English
  // names, "" when it has none. Made when asked: a run asks a property by
  // name and never for the names of all of them.
  QString PropertyName(const FileProperty& property) const;

 private:
  friend class FilePropertySets;

  QString name_;
  QUuid formatId_;
  const KnownPropertySet* known_ = nullptr;
  std::vector<std::pair<quint32, QString>> dictionary_;
  std::vector<FileProperty> properties_;
};

class FilePropertySets {
 public:
  // Reads every property set of the document behind source (a document file
  // is opened by docprops/DocumentFile.h).
  ParseStatus Open(std::unique_ptr<ByteSource> source);

  int Count() const { return int(sets_.size()); }
  // The set at a 0-based index, nullptr outside 0..Count()-1.
  const FilePropertySet* Item(int index) const;

 private:
  ParseStatus Load(std::unique_ptr<ByteSource> source);
  static FilePropertySet MakeSet(PropertySection& section, const QString& streamName);

  std::vector<FilePropertySet> sets_;
};

}  // namespace tbx
