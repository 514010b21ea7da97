#pragma once

#include <cstdint>
#include <cstring>

namespace velmora {

// A running 64-bit hash of samples in the order they are written, to tell whether an output
// read back holds the same samples. Integer samples are hashed by value, whatever width they
// are stored at; float samples by their bit patterns. Not a cryptographic hash: it catches
// a changed, lost or added sample, not a deliberate forgery.
class SampleHash {
 public:
  void Add(const std::int32_t* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Mix(static_cast<std::uint32_t>(samples[i]));
  }
  void Add(const float* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      std::uint32_t bits = 0;
      std::memcpy(&bits, &samples[i], sizeof bits);
      Mix(bits);
    }
  }
  void Add(const double* samples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
      std::uint64_t bits = 0;
      std::memcpy(&bits, &samples[i], sizeof bits);
      Mix(static_cast<std::uint32_t>(bits));
      Mix(static_cast<std::uint32_t>(bits >> 32));
    }
  }
  std::uint64_t Value() const { return m_state; }

 private:
  // FNV-1a over whole 32-bit words: one multiply a sample.
  static constexpr std::uint64_t kOffset = 14695981039346656037ULL;
  static constexpr std::uint64_t kPrime = 1099511628211ULL;
  void Mix(std::uint32_t word) { m_state = (m_state ^ word) * kPrime; }
  std::uint64_t m_state = kOffset;
};

}  // namespace velmora
