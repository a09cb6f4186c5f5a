// The benchmark's keys: the program's pseudo-random 20-letter keys, produced
// by a copy of its generator so that every container in the suite sees the
// same keys in the same order as the program itself.
//
//   seed starts at 0xFFFFFFFF and is never reseeded;
//   one step:  seed = seed * 134775813 + 1  (mod 2^32)
//   a letter:  'A' + (((seed >> 1) * 26) >> 31), taken after each step
//   a key:     20 letters, first to last
//
// The first key of a run is ZFNDWAMYIURWHQVRMYFY.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace hb::bench {

inline constexpr int kKeyLength = 20;
inline constexpr uint32_t kSeedStart = 0xFFFFFFFFu;
inline constexpr uint32_t kSeedMultiplier = 134775813u;
inline constexpr uint32_t kSeedIncrement = 1u;

using KeyText = std::array<char, kKeyLength>;

inline char LetterOf(uint32_t seed) {
  return static_cast<char>(65 + ((static_cast<uint64_t>(seed >> 1) * 26) >> 31));
}

// The generator as the program runs it: 20 steps one after another.
class KeyGenerator {
 public:
  void Next(KeyText& key) {
    for (char& letter : key) {
      seed_ = seed_ * kSeedMultiplier + kSeedIncrement;
      letter = LetterOf(seed_);
    }
  }
  uint32_t Seed() const { return seed_; }

 private:
  uint32_t seed_ = kSeedStart;
};

// The suite's keys as the build passes hand them over: each one a new owned
// string of the container's own kind (std::string for the peers, DynString
// for ours), made from the letters as the program's RandomKey makes its
// string, and passed to Add or SetItem as a temporary.
template <class String>
class SuiteKeys {
 public:
  String Next() {
    generator_.Next(letters_);
    return String(letters_.data(), kKeyLength);
  }

 private:
  KeyGenerator generator_;
  KeyText letters_{};
};

}  // namespace hb::bench
