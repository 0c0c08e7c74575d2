#pragma once
// A document's database record as the run uses it: the first record of the
// document query, fields by position or by name.
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/DatabaseConnection.h"

namespace tbx {

class RecordSet {
 public:
  RecordSet() = default;
  explicit RecordSet(QueryRecord record) : record_(std::move(record)) {}

  int FieldCount() const { return static_cast<int>(record_.names.size()); }
  // The name of the field at position 0..FieldCount()-1, as the driver gives it.
  QString FieldName(int field) const { return record_.names.value(field); }
  // The position of the first field called name (without regard to case), or -1.
  int FieldIndex(const QString& name) const;
  // The value of a field; an invalid QVariant for a database NULL and for a
  // bad position.
  QVariant Value(int field) const { return record_.values.value(field); }

 private:
  QueryRecord record_;
};

}  // namespace tbx
