#pragma once
// The counts and estimates both progress views show, worded once so that the
// window and the terminal say the same: "Verzeichnisse durchsucht: 12 ·
// Dokumente gefunden: 1.234" while the folders are listed, "1.234 von 15.356
// Dokumenten · 8 % · noch etwa 0:42" while the documents are read.
#include <QElapsedTimer>
#include <QString>
#include <optional>

namespace tbx {

// A time span as the views show it: "0:42", "12:05", "1:02:03".
QString DurationText(double seconds);

// A count with German thousands separators ("15.356"): the program speaks
// German whatever the desktop's language.
QString CountText(qint64 count);

// "Verzeichnisse durchsucht: N · Dokumente gefunden: M".
QString ScanCountText(qint64 folders, qint64 documents);

// "D von T Dokumenten · P %", then " · noch etwa L" when secondsLeft is known.
QString LoopCountText(qint64 done, qint64 total, std::optional<double> secondsLeft);

// How far the document loop has come, from its own pace alone: the scan
// before it takes a different time per document, and the first moments of
// the loop (readers starting, caches cold) say little about the rest.
class LoopPace {
 public:
  // The loop seconds after which its pace is taken as known.
  static constexpr double kSettleSeconds = 3.0;

  // The loop starts now (a later call starts it again).
  void Start() { clock_.start(); }
  bool Started() const { return clock_.isValid(); }
  double LoopSeconds() const { return clock_.isValid() ? clock_.elapsed() / 1000.0 : 0.0; }

  // Documents per second after done documents in loopSeconds; none before
  // the pace is known.
  static std::optional<double> Rate(qint64 done, double loopSeconds);
  // Seconds until total at that rate; none before the pace is known and
  // none once the loop is through.
  static std::optional<double> SecondsLeft(qint64 done, qint64 total, double loopSeconds);

 private:
  QElapsedTimer clock_;
};

}  // namespace tbx
