#pragma once
// A small deterministic generator (splitmix64): the same seed gives the same
// documents on every platform and library version, which the standard
// distributions do not promise.
#include <QString>
#include <QStringList>

namespace tbx::samplegen {

class Random {
 public:
  explicit Random(quint64 seed) : state_(seed) {}
  quint64 Next() {
    quint64 z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0 .. n-1
  int Below(int n) { return n <= 0 ? 0 : int(Next() % quint64(n)); }
  int Between(int low, int high) { return low + Below(high - low + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename List>
  const auto& Pick(const List& list) {
    return list[Below(int(std::size(list)))];
  }

 private:
  quint64 state_;
};

}  // namespace tbx::samplegen
