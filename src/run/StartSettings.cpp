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

QString Setting(const RunState& run, const ini::Setting& setting) { return ReadIniValue(setting, run.configPath).trimmed(); }

bool Switch(const RunState& run, const ini::Setting& setting) {
  return IsYes(Setting(run, setting), SwitchDefault(setting));
}

}  // namespace

int MaxRangeFromText(const QString& text, int largest) {
  const QString trimmed = text.trimmed();
  const int fallback = DefaultNumber(ini::kMaxRange);
  if (trimmed.isEmpty()) return fallback;
  const int value = WholeNumber(trimmed);
  return (value < ini::kMaxRangeMin || value > largest) ? fallback : value;
}

int MaxRangeForTarget(int maxRange, const QString& target) {
  return !IsXlsxName(target) && maxRange > ini::kMaxRangeMax ? DefaultNumber(ini::kMaxRange) : maxRange;
}

QString PatternFromText(const QString& text) {
  const QString trimmed = text.trimmed();
  return trimmed.isEmpty() ? QString::fromLatin1(ini::kPattern.defaultValue) : trimmed;
}

void ReadStartSettings(RunState& run) {
  // The log is switched before anything could be written to it.
  run.log.SetLogEnabled(Switch(run, ini::kWriteLog));
  run.gui = Switch(run, ini::kGui);
  run.typedCells = Switch(run, ini::kZelltypen);
  const QString maxRange = Setting(run, ini::kMaxRange);
  // From here until the spreadsheet application has been searched for, failures are ignored.
  // The target is not known yet: the limit of .xlsx workbooks is taken, and
  // MaxRangeForTarget narrows it for an .xls one.
  IgnoringErrors([&] { run.maxRange = MaxRangeFromText(maxRange, ini::kMaxRangeXlsx); });
  IgnoringErrors([&] { run.pattern = PatternFromText(Setting(run, ini::kPattern)); });
}

}  // namespace tbx
