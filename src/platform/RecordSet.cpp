#include "platform/RecordSet.h"

namespace tbx {

RecordSet::RecordSet(QStringList fieldNames, QList<QVariant> values)
    : names_(std::move(fieldNames)), values_(std::make_shared<const QList<QVariant>>(std::move(values))) {}

int RecordSet::RecordCount() const {
  if (!values_ || names_.isEmpty()) return 0;
  return static_cast<int>(values_->size() / names_.size());
}

int RecordSet::FieldIndex(const QString& name) const {
  for (int i = 0; i < FieldCount(); ++i) {
    if (names_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QVariant RecordSet::Value(int field) const {
  if (field < 0 || field >= FieldCount() || RecordCount() == 0) return QVariant();
  return values_->at(field);
}

}  // namespace tbx
