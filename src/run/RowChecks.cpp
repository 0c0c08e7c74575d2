#include "run/RowChecks.h"

#include <algorithm>

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/PathHelpers.h"

namespace tbx {
namespace {

// The [PropertyName] Format0..Format9 patterns, up to the first one missing.
QStringList FormatPatterns(const QString& propertyName, const ProfileSnapshot& config) {
  QStringList patterns;
  for (int k = 0; k < ini::kFormatKeyCount; ++k) {
    QString pattern =
        ReadIniValue(config, propertyName, QString::fromLatin1(ini::kFormatKeyPrefix) + QString::number(k));
    if (pattern.isEmpty()) break;
    patterns << std::move(pattern);
  }
  return patterns;
}

// The [Criteria] value of each criterion, in the mapping's order.
QStringList WantedValues(const ColumnMapping& mapping, const ProfileSnapshot& config) {
  QStringList wanted;
  for (const QString& name : mapping.criteria)
    wanted << ReadIniValue(config, QString::fromLatin1(ini::kCriteria), name);
  return wanted;
}

}  // namespace

bool ViolatesFormat(const QString& value, const QStringList& patterns) {
  return !patterns.isEmpty() &&
         std::none_of(patterns.begin(), patterns.end(), [&](const QString& p) { return MatchFormat(value, p); });
}

bool DocumentSelected(RunLog& log, RowDocument& document, const ColumnMapping& mapping, const QStringList& wanted) {
  bool selected = true;
  for (qsizetype k = 0; k < mapping.criteria.size(); ++k) {
    const QString& name = mapping.criteria[k];
    log.LogMessage(QStringLiteral("Suche ") + name);
    const PropertyRead value = document.ReadDocumentProperty(log, name);
    if (value.text.isEmpty()) continue;
    if (wanted[k] == QLatin1String("empty"))
      selected = false;
    else
      selected = selected && value.text.contains(wanted[k], Qt::CaseInsensitive);
    // The read says whether the document was unreadable; a value that
    // merely begins with "FEHLER" is a value like any other.
    if (value.unreadable) selected = true;
  }
  return selected;
}

bool DocumentSelected(RunLog& log, const QString& path, const ColumnMapping& mapping, const QString& configPath) {
  RowDocument document(path);
  return DocumentSelected(log, document, mapping, WantedValues(mapping, LoadProfile(configPath)));
}

RowSettings::RowSettings(const ColumnMapping& mapping) : mapping_(mapping) {}

void RowSettings::Follow(const ProfileSnapshot& configuration) {
  if (version_ && version_->SameVersion(configuration)) return;
  version_ = configuration;
  wanted_ = WantedValues(mapping_, configuration);
  patterns_.clear();
  for (const MappedColumn& column : mapping_.columns)
    patterns_.push_back(FormatPatterns(column.PropertyName, configuration));
}

}  // namespace tbx
