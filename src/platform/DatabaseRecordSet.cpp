#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>

#include "platform/Database.h"
#include "platform/TextForm.h"

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

std::optional<QString> ValueText(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return std::nullopt;
  switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return BoolText(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
      return IntegerText(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
      return UnsignedText(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
      return RealText(value.toDouble());
    case QMetaType::QDate: return ShortDateText(value.toDate());
    case QMetaType::QDateTime: return GeneralDateText(value.toDateTime().toLocalTime());
    case QMetaType::QTime:
      return QLocale().toString(value.toTime(), QStringLiteral("HH:mm:ss"));
    case QMetaType::QByteArray:
      // Binary data (BLOB, bytea) has no text form for a cell.
      return std::nullopt;
    default: break;
  }
  if (value.canConvert<QString>()) return value.toString();
  return std::nullopt;
}

}  // namespace tbx
