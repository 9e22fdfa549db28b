#pragma once
// The end of a wait that is cut into slices: what is left of it is counted from its start,
// however long the work between the slices took.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>

class TNetDeadline {
 public:
  // Milliseconds from now (a negative count is now).
  static TNetDeadline In(int32_t Milliseconds) {
    return TNetDeadline(true, Clock::now() + std::chrono::milliseconds(std::max(Milliseconds, 0)));
  }
  static TNetDeadline Never() { return TNetDeadline(false, Clock::time_point()); }

  // Milliseconds left, 0 once it has passed; the largest count when there is no end.
  int32_t Left() const {
    if (!FLimited) return std::numeric_limits<int32_t>::max();
    const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(FEnd - Clock::now());
    return static_cast<int32_t>(std::max<int64_t>(rest.count(), 0));
  }

 private:
  using Clock = std::chrono::steady_clock;
  TNetDeadline(bool Limited, Clock::time_point End) : FLimited(Limited), FEnd(End) {}

  bool FLimited;
  Clock::time_point FEnd;
};
