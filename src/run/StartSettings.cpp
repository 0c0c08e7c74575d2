#include "run/StartSettings.h"

#include <QLocale>
#include <cmath>
#include <limits>

#include "common/Config.h"
#include "common/ConfigKeys.h"
#include "common/RunLog.h"
#include "run/ErrorModes.h"
#include "xlsx/xlsx.h"

namespace tbx {
namespace {

// The classic whole-number conversion: decimal text in the user's locale,
// rounded half to even; what is no number, or does not fit 32 bits, is 0.
int WholeNumber(const QString& text) {
  bool ok = false;
  const int whole = text.toInt(&ok);
  if (ok) return whole;
  const double value = QLocale().toDouble(text, &ok);
  if (!ok || !std::isfinite(value)) return 0;
  const double rounded = std::nearbyint(value);
  if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) return 0;
  return static_cast<int>(rounded);
}

QString Setting(const RunState& run, const char* key) {
  return ReadIniValue(QString::fromLatin1(ini::kConfig), QString::fromLatin1(key), run.configPath).trimmed();
}

}  // namespace

int MaxRangeFromText(const QString& text, int largest) {
  const QString trimmed = text.trimmed();
  if (trimmed.isEmpty()) return ini::kMaxRangeDefault;
  const int value = WholeNumber(trimmed);
  return (value < ini::kMaxRangeMin || value > largest) ? ini::kMaxRangeDefault : value;
}

int MaxRangeForTarget(int maxRange, const QString& target) {
  return !IsXlsxName(target) && maxRange > ini::kMaxRangeDefault ? ini::kMaxRangeDefault : maxRange;
}

QString PatternFromText(const QString& text) {
  const QString trimmed = text.trimmed();
  return trimmed.isEmpty() ? QString::fromLatin1(ini::kPatternDefault) : trimmed;
}

void ReadStartSettings(RunState& run) {
  // The log is switched before anything could be written to it.
  SetLogEnabled(IsYes(Setting(run, ini::kWriteLog), ini::kWriteLogDefault));
  run.gui = IsYes(Setting(run, ini::kGui), ini::kGuiDefault);
  const QString maxRange = Setting(run, ini::kMaxRange);
  // From here until the spreadsheet application has been searched for, failures are ignored.
  // The target is not known yet: the limit of .xlsx workbooks is taken, and
  // MaxRangeForTarget narrows it for an .xls one.
  IgnoringErrors([&] { run.maxRange = MaxRangeFromText(maxRange, ini::kMaxRangeXlsx); });
  IgnoringErrors([&] { run.pattern = PatternFromText(Setting(run, ini::kPattern)); });
}

}  // namespace tbx
