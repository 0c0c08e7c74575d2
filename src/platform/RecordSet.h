#pragma once
// The result of one database query as the run uses it: every record fetched
// at once (a client-side cursor), fields by position or by name.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace tbx {

// The records of one query, all fetched, positioned on the first record.
// Copying a record set gives an independent one over the same records.
class RecordSet {
 public:
  RecordSet() = default;
  RecordSet(QStringList fieldNames, QList<QVariant> values);

  // The exact number of records.
  int RecordCount() const;

  int FieldCount() const { return static_cast<int>(names_.size()); }
  // The name of the field at position 0..FieldCount()-1, as the driver gives it.
  QString FieldName(int field) const { return names_.value(field); }
  // The position of the first field called name (without regard to case), or -1.
  int FieldIndex(const QString& name) const;

  // The value of a field of the first record; an invalid QVariant for a
  // database NULL, for a record set without records and for a bad position.
  QVariant Value(int field) const;

 private:
  QStringList names_;
  // Row after row, FieldCount() values each; shared by copies, never changed.
  std::shared_ptr<const QList<QVariant>> values_;
};

}  // namespace tbx
