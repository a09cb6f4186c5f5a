// hashbench-bench-kernels: the program's key generator, key hash and bucket
// index against the faster forms of fast_kernels.h. Checks that both give the
// same results, then prints the median ticks per key of each.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/fast_kernels.h"
#include "bench/key_generator.h"
#include "bench/ticks.h"
#include "containers/capacity.h"
#ifdef HASHBENCH_BENCH_OURS
#include "containers/string_bag.h"
#include "runtime/dyn_string.h"
#include "runtime/object.h"
#endif
#ifdef HASHBENCH_BENCH_APP
#include "app/random_key.h"
#endif

namespace hb::bench {
namespace {

constexpr int kKeys = 1000;
constexpr int kRounds = 101;

// The median over kRounds of the ticks per key that `round` takes for kKeys keys.
template <class Round>
double MedianTicksPerKey(Round round) {
  std::vector<int64_t> ticks;
  for (int r = 0; r < kRounds; ++r) {
    const int64_t t0 = ReadTicks();
    round();
    ticks.push_back(ReadTicks() - t0);
  }
  std::nth_element(ticks.begin(), ticks.begin() + kRounds / 2, ticks.end());
  return static_cast<double>(ticks[kRounds / 2]) / kKeys;
}

volatile uint32_t g_sink;  // keeps the timed results alive

bool HasAvx2() { return __builtin_cpu_supports("avx2"); }

// Ticks per hash when each key waits for the hash before it, as a lookup
// waits for its hash before it can load the bucket.
template <class Hash>
double HashLatency(const std::vector<KeyText>& keys, Hash hash) {
  return MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& key : keys) {
      KeyText chained = key;
      chained[0] = static_cast<char>(chained[0] ^ (x & 1));
      x = static_cast<uint32_t>(hash(chained.data(), chained.size()));
    }
    g_sink = x;
  });
}

bool CheckGenerators() {
  KeyGenerator serial;
  SkipAheadKeyGenerator skip;
  KeyText a;
  KeyText b;
  for (int i = 0; i < 3'000'000; ++i) {
    serial.Next(a);
    skip.Next(b);
    if (a != b || serial.Seed() != skip.Seed()) {
      std::printf("key %d differs: %.20s %.20s\n", i, a.data(), b.data());
      return false;
    }
  }
  // Every possible state, for the letter formula alone.
  for (uint64_t s = 0; s <= 0xFFFFFFFFu; s += 7) {
    if (LetterOf(static_cast<uint32_t>(s)) != LetterOf32(static_cast<uint32_t>(s))) {
      std::printf("letter differs at %llu\n", static_cast<unsigned long long>(s));
      return false;
    }
  }
  return true;
}

bool CheckHashes(const std::vector<KeyText>& keys) {
  for (const KeyText& key : keys)
    for (std::size_t length = 0; length <= key.size(); ++length)
      if (HashBytes(key.data(), length) != HashBytesSerial(key.data(), length) ||
          HashBytes(key.data(), length) != HashBytesBlocked(key.data(), length) ||
          (HasAvx2() && HashBytes(key.data(), length) != HashBytesAvx2(key.data(), length)))
        return false;
  for (uint32_t d : {53u, 97u, 98317u, 1610612741u})
    for (uint32_t h = 0; h < 0x80000000u; h += 4093) {
      if (FastModulo(d).Of(h) != h % d) return false;
    }
  return true;
}

}  // namespace
}  // namespace hb::bench

int main() {
  using namespace hb::bench;
  std::vector<KeyText> keys(kKeys);
  KeyGenerator source;
  for (KeyText& key : keys) source.Next(key);

  const bool same = CheckGenerators() && CheckHashes(keys);
  std::printf("same results: %s\n", same ? "yes" : "NO");

  // Every key is written out, as the program writes it into a string.
  std::vector<KeyText> out(kKeys);
  KeyGenerator serial;
  SkipAheadKeyGenerator skip;
  const double serialKey = MedianTicksPerKey([&] {
    for (KeyText& key : out) serial.Next(key);
    g_sink = static_cast<uint32_t>(out[kKeys / 2][3]);
  });
  const double skipKey = MedianTicksPerKey([&] {
    for (KeyText& key : out) skip.Next(key);
    g_sink = static_cast<uint32_t>(out[kKeys / 2][3]);
  });
  const double serialHash = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& k : keys) x += static_cast<uint32_t>(HashBytesSerial(k.data(), k.size()));
    g_sink = x;
  });
  const double libraryHash = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& k : keys) x += static_cast<uint32_t>(hb::HashBytes(k.data(), k.size()));
    g_sink = x;
  });
  const double blockedHash = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& k : keys) x += static_cast<uint32_t>(HashBytesBlocked(k.data(), k.size()));
    g_sink = x;
  });
  const double avx2Hash = !HasAvx2() ? -1 : MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& k : keys) x += static_cast<uint32_t>(HashBytesAvx2(k.data(), k.size()));
    g_sink = x;
  });
  const double serialHashLatency = HashLatency(keys, [](const char* p, std::size_t n) { return HashBytesSerial(p, n); });
  const double libraryHashLatency = HashLatency(keys, [](const char* p, std::size_t n) { return hb::HashBytes(p, n); });
  const double blockedHashLatency = HashLatency(keys, [](const char* p, std::size_t n) { return HashBytesBlocked(p, n); });
  const double avx2HashLatency =
      !HasAvx2() ? -1 : HashLatency(keys, [](const char* p, std::size_t n) { return HashBytesAvx2(p, n); });
  std::vector<uint32_t> hashes;
  for (const KeyText& k : keys) hashes.push_back(static_cast<uint32_t>(hb::HashBytes(k.data(), k.size())));
  volatile uint32_t capacity = 1543;  // a bucket count known only at run time
  const double divide = MedianTicksPerKey([&] {
    uint32_t x = 0;
    const uint32_t d = capacity;
    for (uint32_t h : hashes) x += h % d;
    g_sink = x;
  });
  const FastModulo modulo(capacity);
  const double reciprocal = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (uint32_t h : hashes) x += modulo.Of(h);
    g_sink = x;
  });
  // A chain of dependent lookups: the latency a Locate pays, not the throughput.
  const double divideChain = MedianTicksPerKey([&] {
    uint32_t x = 0;
    const uint32_t d = capacity;
    for (uint32_t h : hashes) x = (h ^ (x & 1)) % d;
    g_sink = x;
  });
  const double reciprocalChain = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (uint32_t h : hashes) x = modulo.Of(h ^ (x & 1));
    g_sink = x;
  });
#ifdef HASHBENCH_BENCH_OURS
  // What the runtime charges for the pieces of an Add: a 20-byte string made
  // and freed, and an entry object made by class name and released.
  std::vector<hb::DynString> strings(kKeys);
  const double makeString = MedianTicksPerKey([&] {
    for (int i = 0; i < kKeys; ++i) strings[i] = hb::DynString(keys[i].data(), kKeyLength);
  });
  const hb::Ref<hb::IStringBag> registers = hb::NewStringBag();  // the entry class is known from here on
  std::vector<hb::Ref<hb::IStringBagEntry>> entries(kKeys);
  const double makeEntry = MedianTicksPerKey([&] {
    for (auto& entry : entries) hb::CreateObject(entry, "cStringBagEntry", hb::kIidStringBagEntry);
  });
  const double hashText = MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const hb::DynString& text : strings) x += static_cast<uint32_t>(hb::HashText(text.Data(), text.Length()));
    g_sink = x;
  });
#endif
#ifdef HASHBENCH_BENCH_APP
  // The program's RandomKey: a new string of 20 letters, made one step at a
  // time; the suite's copy with the same string made around it.
  std::vector<hb::DynString> made(kKeys);
  const double programKey = MedianTicksPerKey([&] {
    for (hb::DynString& text : made) text = hb::RandomKey();
  });
  KeyGenerator copy;
  const double suiteKey = MedianTicksPerKey([&] {
    KeyText letters;
    for (hb::DynString& text : made) {
      copy.Next(letters);
      text = hb::DynString(letters.data(), kKeyLength);
    }
  });
#endif
  std::printf("ticks per key (median of %d rounds of %d keys)\n", kRounds, kKeys);
  std::printf("  key generation  step by step %6.1f   skip-ahead %6.1f\n", serialKey, skipKey);
  std::printf("  key hash        byte by byte %6.1f   8-byte blocks %6.1f   AVX2 16-byte blocks %6.1f   library %6.1f\n",
              serialHash, blockedHash, avx2Hash, libraryHash);
  std::printf("  key hash        byte by byte %6.1f   8-byte blocks %6.1f   AVX2 16-byte blocks %6.1f   library %6.1f"
              "   (dependent chain)\n",
              serialHashLatency, blockedHashLatency, avx2HashLatency, libraryHashLatency);
  std::printf("  bucket index    division     %6.1f   reciprocal %6.1f   (independent)\n", divide, reciprocal);
  std::printf("  bucket index    division     %6.1f   reciprocal %6.1f   (dependent chain)\n", divideChain,
              reciprocalChain);
#ifdef HASHBENCH_BENCH_OURS
  std::printf("  20-byte string  made and the previous one freed %6.1f\n", makeString);
  std::printf("  entry object    made by class name and the previous one released %6.1f\n", makeEntry);
  std::printf("  HashText        (the library's text hash)          %6.1f\n", hashText);
#endif
#ifdef HASHBENCH_BENCH_APP
  std::printf("  a key string    the program's RandomKey %6.1f   the suite's generator + string %6.1f\n",
              programKey, suiteKey);
#endif
  return same ? 0 : 1;
}
