#pragma once
// The display texts of reference fields for the length of a run. Every
// document repeats the same few editors, materials and states: the class and
// table a field refers to are looked up once per field name, and the text of
// one object once per table and id. A run therefore shows the database as it
// was when each value was first read. The connections of the run share one
// cache: any thread may use it.
#include <QHash>
#include <QString>
#include <mutex>
#include <optional>

namespace tbx {

class ReferenceCache {
 public:
  // The most object texts kept; beyond it the cache starts afresh, so a
  // database of millions of objects costs a few megabytes, not gigabytes.
  static constexpr qsizetype kMaxTexts = 100000;

  // The table the field refers to, "" when the metadata name none;
  // std::nullopt when not yet looked up.
  std::optional<QString> Table(const QString& field) const;
  void SetTable(const QString& field, const QString& table);

  // The text shown for object id of table (its raw value when none was
  // found); std::nullopt when not yet looked up.
  std::optional<QString> Text(const QString& table, const QString& id) const;
  void SetText(const QString& table, const QString& id, const QString& text);

 private:
  mutable std::mutex mutex_;
  QHash<QString, QString> tables_;  // lower-case field name -> table
  QHash<QString, QString> texts_;   // table, NUL, id -> text
};

}  // namespace tbx
