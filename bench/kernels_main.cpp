// hashbench-bench-kernels: the pieces of an Add and a lookup, timed one at a
// time. The library's and the program's own forms (RandomKey, HashBytes,
// HashText, BucketOf) run beside the reference forms they must agree with
// and the candidate forms of hash_forms.h. Checks first that all forms give
// the same results, then prints one line per kernel: median ticks per key.
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string_view>
#include <vector>

#include "app/random_key.h"
#include "bench/hash_forms.h"
#include "bench/key_generator.h"
#include "bench/ticks.h"
#include "containers/capacity.h"
#include "containers/key_hash.h"
#include "containers/string_bag.h"
#include "containers/string_bag_entry.h"
#include "runtime/dyn_string.h"
#include "runtime/object.h"

namespace hb::bench {
namespace {

constexpr int kKeys = 1000;
constexpr int kRounds = 101;
constexpr int32_t kCapacityIndex = 5;  // 1543 buckets: the program's table after its 1000 keys

volatile uint32_t g_sink;  // keeps the timed results alive

// The median over kRounds of the ticks per key that `round` takes for kKeys keys.
double MedianTicksPerKey(const std::function<void()>& round) {
  std::vector<int64_t> ticks;
  for (int r = 0; r < kRounds; ++r) {
    const int64_t t0 = ReadTicks();
    round();
    ticks.push_back(ReadTicks() - t0);
  }
  std::nth_element(ticks.begin(), ticks.begin() + kRounds / 2, ticks.end());
  return static_cast<double>(ticks[kRounds / 2]) / kKeys;
}

bool HasAvx2() { return __builtin_cpu_supports("avx2"); }

using HashForm = int32_t (*)(const void*, std::size_t);

int32_t LibraryHashBytes(const void* bytes, std::size_t length) { return HashBytes(bytes, length); }
int32_t LibraryHashText(const void* bytes, std::size_t length) {
  return HashText(static_cast<const char*>(bytes), length);
}

// The keys the kernels work on, and what they give.
struct Inputs {
  std::vector<KeyText> keys;
  std::vector<DynString> strings;
  std::vector<uint32_t> hashes;
  int32_t prime = 0;
  uint64_t reciprocal = 0;
};

// Every hash form over every key and every prefix of it.
bool HashesAgree(const Inputs& in) {
  for (const KeyText& key : in.keys)
    for (std::size_t length = 0; length <= key.size(); ++length) {
      const int32_t expected = HashBytesSerial(key.data(), length);
      if (HashBytes(key.data(), length) != expected || HashText(key.data(), length) != expected) return false;
      if (HasAvx2() && HashBytesAvx2(key.data(), length) != expected) return false;
    }
  return true;
}

bool BucketsAgree() {
  for (int32_t i = 0; i < kCapacityPrimeCount; ++i) {
    const int32_t prime = CapacityPrimes()[i];
    const uint64_t reciprocal = BucketReciprocal(prime);
    for (uint32_t h = 0; h < 0x80000000u; h += 4093)
      if (BucketOf(static_cast<int32_t>(h), prime, reciprocal) != static_cast<int32_t>(h % static_cast<uint32_t>(prime)))
        return false;
  }
  return true;
}

// The program's RandomKey against the suite's generator: the keys of three
// thousand program runs, and the state where they end.
bool KeysAgree() {
  ResetRandomState();
  KeyGenerator suite;
  KeyText letters;
  for (int i = 0; i < 3'000'000; ++i) {
    const DynString key = RandomKey();
    suite.Next(letters);
    if (std::string_view(key.Data(), key.Length()) != std::string_view(letters.data(), letters.size())) {
      std::printf("key %d differs: %.20s %.20s\n", i, key.Data(), letters.data());
      return false;
    }
  }
  return CurrentRandomState().seed == suite.Seed();
}

// Ticks per hash when every key has to wait for the hash before it, as a
// lookup waits for its hash before it can load the bucket.
double HashLatency(const Inputs& in, HashForm hash) {
  return MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& key : in.keys) {
      KeyText chained = key;
      chained[0] = static_cast<char>(chained[0] ^ (x & 1));
      x = static_cast<uint32_t>(hash(chained.data(), chained.size()));
    }
    g_sink = x;
  });
}

double HashThroughput(const Inputs& in, HashForm hash) {
  return MedianTicksPerKey([&] {
    uint32_t x = 0;
    for (const KeyText& key : in.keys) x += static_cast<uint32_t>(hash(key.data(), key.size()));
    g_sink = x;
  });
}

struct Kernel {
  const char* piece;  // what is timed
  const char* form;   // which way
  std::function<double(Inputs&)> time;
  bool (*available)() = nullptr;  // null: always
};

const Kernel kKernels[] = {
    {"key letters", "suite generator, step by step",
     [](Inputs&) {
       KeyGenerator generator;
       std::vector<KeyText> out(kKeys);
       return MedianTicksPerKey([&] {
         for (KeyText& key : out) generator.Next(key);
         g_sink = static_cast<uint32_t>(out[kKeys / 2][3]);
       });
     }},
    {"key string", "program's RandomKey",
     [](Inputs& in) {
       return MedianTicksPerKey([&] {
         for (DynString& text : in.strings) text = RandomKey();
       });
     }},
    {"key string", "suite generator + DynString",
     [](Inputs& in) {
       SuiteKeys<DynString> keys;
       return MedianTicksPerKey([&] {
         for (DynString& text : in.strings) text = keys.Next();
       });
     }},
    {"key hash", "byte by byte (reference)", [](Inputs& in) { return HashThroughput(in, HashBytesSerial); }},
    {"key hash", "library HashBytes", [](Inputs& in) { return HashThroughput(in, LibraryHashBytes); }},
    {"key hash", "library HashText", [](Inputs& in) { return HashThroughput(in, LibraryHashText); }},
    {"key hash", "AVX2 16-byte blocks", [](Inputs& in) { return HashThroughput(in, HashBytesAvx2); }, HasAvx2},
    {"key hash, dependent chain", "byte by byte (reference)",
     [](Inputs& in) { return HashLatency(in, HashBytesSerial); }},
    {"key hash, dependent chain", "library HashBytes", [](Inputs& in) { return HashLatency(in, LibraryHashBytes); }},
    {"key hash, dependent chain", "AVX2 16-byte blocks", [](Inputs& in) { return HashLatency(in, HashBytesAvx2); },
     HasAvx2},
    {"bucket index", "division (reference)",
     [](Inputs& in) {
       volatile int32_t runtimePrime = in.prime;  // known only at run time, as in the table
       const uint32_t d = static_cast<uint32_t>(runtimePrime);
       return MedianTicksPerKey([&] {
         uint32_t x = 0;
         for (uint32_t h : in.hashes) x += h % d;
         g_sink = x;
       });
     }},
    {"bucket index", "library BucketOf",
     [](Inputs& in) {
       return MedianTicksPerKey([&] {
         uint32_t x = 0;
         for (uint32_t h : in.hashes)
           x += static_cast<uint32_t>(BucketOf(static_cast<int32_t>(h), in.prime, in.reciprocal));
         g_sink = x;
       });
     }},
    {"bucket index, dependent chain", "division (reference)",
     [](Inputs& in) {
       volatile int32_t runtimePrime = in.prime;
       const uint32_t d = static_cast<uint32_t>(runtimePrime);
       return MedianTicksPerKey([&] {
         uint32_t x = 0;
         for (uint32_t h : in.hashes) x = (h ^ (x & 1)) % d;
         g_sink = x;
       });
     }},
    {"bucket index, dependent chain", "library BucketOf",
     [](Inputs& in) {
       return MedianTicksPerKey([&] {
         uint32_t x = 0;
         for (uint32_t h : in.hashes)
           x = static_cast<uint32_t>(BucketOf(static_cast<int32_t>(h ^ (x & 1)), in.prime, in.reciprocal));
         g_sink = x;
       });
     }},
    {"20-byte string", "made, the previous one freed",
     [](Inputs& in) {
       return MedianTicksPerKey([&] {
         for (int i = 0; i < kKeys; ++i) in.strings[i] = DynString(in.keys[i].data(), kKeyLength);
       });
     }},
    {"entry object", "made by class name, the previous one released",
     [](Inputs&) {
       const Ref<IStringBag> registers = NewStringBag();  // the entry class is known from here on
       std::vector<Ref<IStringBagEntry>> entries(kKeys);
       return MedianTicksPerKey([&] {
         for (auto& entry : entries) CreateObject(entry, "cStringBagEntry", kIidStringBagEntry);
       });
     }},
};

Inputs MakeInputs() {
  Inputs in;
  in.keys.resize(kKeys);
  KeyGenerator source;
  for (KeyText& key : in.keys) source.Next(key);
  in.strings.resize(kKeys);
  for (const KeyText& key : in.keys) in.hashes.push_back(static_cast<uint32_t>(HashBytes(key.data(), key.size())));
  in.prime = CapacityPrimes()[kCapacityIndex];
  in.reciprocal = BucketReciprocal(in.prime);
  return in;
}

}  // namespace
}  // namespace hb::bench

int main() {
  using namespace hb::bench;
  Inputs in = MakeInputs();
  const bool hashes = HashesAgree(in);
  const bool buckets = BucketsAgree();
  const bool keys = KeysAgree();
  std::printf("same results: hashes %s, buckets %s, keys %s\n", hashes ? "yes" : "NO", buckets ? "yes" : "NO",
              keys ? "yes" : "NO");
  std::printf("ticks per key, median of %d rounds of %d keys (bucket index: %d buckets)\n", kRounds, kKeys, in.prime);
  for (const Kernel& kernel : kKernels) {
    if (kernel.available != nullptr && !kernel.available()) continue;
    std::printf("  %-30s %-48s %7.1f\n", kernel.piece, kernel.form, kernel.time(in));
  }
  return hashes && buckets && keys ? 0 : 1;
}
