#include "interaction/ProgressTexts.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

#include "interaction/ProgressView.h"

namespace tbx {

QString DurationText(double seconds) {
  const qint64 s = std::max<qint64>(0, std::llround(seconds));
  const auto twoDigits = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QChar(u'0')); };
  if (s >= 3600) return QStringLiteral("%1:%2:%3").arg(s / 3600).arg(twoDigits(s / 60 % 60), twoDigits(s % 60));
  return QStringLiteral("%1:%2").arg(s / 60).arg(twoDigits(s % 60));
}

QString CountText(qint64 count) {
  static const QLocale german(QLocale::German, QLocale::Germany);
  return german.toString(count);
}

QString ScanCountText(qint64 folders, qint64 documents) {
  return QStringLiteral("Verzeichnisse durchsucht: %1 · Dokumente gefunden: %2")
      .arg(CountText(folders), CountText(documents));
}

QString LoopCountText(qint64 done, qint64 total, std::optional<double> secondsLeft) {
  // "1 von 1 Dokument", "1 von 2 Dokumenten": the noun follows the total.
  QString text = QStringLiteral("%1 von %2 %3 · %4 %")
                     .arg(CountText(done), CountText(total),
                          total == 1 ? QStringLiteral("Dokument") : QStringLiteral("Dokumenten"))
                     .arg(ProgressPercent(done, total));
  if (secondsLeft) text += QStringLiteral(" · noch etwa ") + DurationText(*secondsLeft);
  return text;
}

std::optional<double> LoopPace::Rate(qint64 done, double loopSeconds) {
  if (done <= 0 || loopSeconds < kSettleSeconds) return std::nullopt;
  return done / loopSeconds;
}

std::optional<double> LoopPace::SecondsLeft(qint64 done, qint64 total, double loopSeconds) {
  const std::optional<double> rate = Rate(done, loopSeconds);
  if (!rate || done >= total) return std::nullopt;
  return (total - done) / *rate;
}

}  // namespace tbx
