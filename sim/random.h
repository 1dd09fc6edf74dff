#pragma once

// Deterministic pseudo-random numbers: the same seed gives the same market on every platform,
// which the standard library's distributions do not promise.

#include <cmath>
#include <cstdint>

namespace sim {

// SplitMix64 finaliser: a well-mixed 64-bit value of its input.
inline std::uint64_t MixBits(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A stable hash of a seed and two indices (board membership and the like).
inline std::uint64_t Mix(std::uint64_t seed, std::uint64_t a, std::uint64_t b) {
  return MixBits(MixBits(MixBits(seed) ^ a) ^ (b * 0x9E3779B97F4A7C15ull));
}

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    ++state_;
    return MixBits(state_ * 0xD1B54A32D192ED03ull);
  }
  // Uniform in [0, bound); 0 for a bound of 0.
  std::uint64_t Below(std::uint64_t bound) { return bound == 0 ? 0 : Next() % bound; }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  // Standard normal (Box-Muller).
  double Normal() {
    double u = 1.0 - Uniform();
    double v = Uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
  }

 private:
  std::uint64_t state_;
};

}  // namespace sim
