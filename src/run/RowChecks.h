#pragma once
// What decides about a row: the [Criteria] a document must meet and the
// format patterns its values must fit, with the configuration values they
// compare with read once per version of the configuration.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "common/Profile.h"
#include "common/RunLog.h"
#include "docprops/DocumentReader.h"
#include "run/ColumnMapping.h"

namespace tbx {

// Whether the document passes the [Criteria] entries (always read from its
// property sets, also in database mode): wanted holds each criterion's
// configured value, in the order of mapping.criteria. A document whose sets
// cannot be read is kept, so its error text reaches the workbook.
bool DocumentSelected(RunLog& log, RowDocument& document, const ColumnMapping& mapping, const QStringList& wanted);
// The same for the document at path with the values of the configuration at configPath.
bool DocumentSelected(RunLog& log, const QString& path, const ColumnMapping& mapping, const QString& configPath);

// Whether value violates patterns (a [PropertyName]'s Format0..Format9): at
// least one exists and none matches.
bool ViolatesFormat(const QString& value, const QStringList& patterns);

// The configuration values rows compare with, read again only when the
// configuration changed: reading them for every document looked up every
// section and key anew.
class RowSettings {
 public:
  explicit RowSettings(const ColumnMapping& mapping);

  // Reads the values again when configuration is a new version.
  void Follow(const ProfileSnapshot& configuration);
  const QStringList& Wanted() const { return wanted_; }                            // per criterion
  const QStringList& Patterns(size_t column) const { return patterns_[column]; }  // per mapped column

 private:
  const ColumnMapping& mapping_;
  std::optional<ProfileSnapshot> version_;
  QStringList wanted_;
  std::vector<QStringList> patterns_;
};

}  // namespace tbx
