#include "database/ReferenceCache.h"

namespace tbx {
namespace {

QString TextKey(const QString& table, const QString& id) { return table.toLower() + QChar(0) + id; }

}  // namespace

std::optional<QString> ReferenceCache::Table(const QString& field) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto it = tables_.constFind(field.toLower());
  if (it == tables_.cend()) return std::nullopt;
  return *it;
}

void ReferenceCache::SetTable(const QString& field, const QString& table) {
  const std::lock_guard<std::mutex> lock(mutex_);
  tables_.insert(field.toLower(), table);
}

std::optional<QString> ReferenceCache::Text(const QString& table, const QString& id) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto it = texts_.constFind(TextKey(table, id));
  if (it == texts_.cend()) return std::nullopt;
  return *it;
}

void ReferenceCache::SetText(const QString& table, const QString& id, const QString& text) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (texts_.size() >= kMaxTexts) texts_.clear();
  texts_.insert(TextKey(table, id), text);
}

}  // namespace tbx
