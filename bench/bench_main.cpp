// hashbench-bench: one measurement per process, so that every sample starts
// from a fresh heap. bench/run.sh drives it and computes the medians.
//
//   hashbench-bench list                       one line per container: name peer form label
//   hashbench-bench check                      keys and pass results are right
//   hashbench-bench passes NAME N ASC_LIMIT    one line: name n ticks of the 7 passes
//   hashbench-bench memory NAME bag|map N      one line: name kind n bytes-per-key
//   hashbench-bench tsc-rate                   time-stamp counter rate in MHz
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "bench/contenders.h"
#include "bench/key_generator.h"
#include "bench/memory.h"
#include "bench/ours.h"
#include "bench/passes.h"

namespace hb::bench {
namespace {

int Usage() {
  std::fputs(
      "usage: hashbench-bench list | check | tsc-rate\n"
      "       hashbench-bench passes NAME N ASCENDING_LIMIT\n"
      "       hashbench-bench memory NAME bag|map N\n",
      stderr);
  return 2;
}

const Contender* ContenderOrComplain(const char* name) {
  const Contender* contender = FindContender(name);
  if (contender == nullptr) std::fprintf(stderr, "hashbench-bench: no container named %s in this build\n", name);
  return contender;
}

bool ParseCount(const char* text, int32_t& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 0 || parsed > 50'000'000) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

// The counts every correct container shows after each pass.
bool CountsAreRight(const char* name, int32_t n, bool ranAscending, const PassCounts& counts) {
  const int32_t expected[kPassCount] = {n, n, 0, n, 0, n, n};
  bool right = counts.lookupMismatches == 0 && counts.mapMissing == 0 && counts.mapValueMismatches == 0;
  for (int pass = 0; pass < kPassCount; ++pass) {
    if (pass == kAscendingRemoval && !ranAscending) continue;
    right = right && counts.count[pass] == expected[pass];
  }
  if (!right) {
    std::fprintf(stderr,
                 "hashbench-bench: %s gave wrong results at n=%d (counts %d %d %d %d %d %d %d, "
                 "lookup mismatches %d, map missing %d, map value mismatches %d)\n",
                 name, n, counts.count[0], counts.count[1], counts.count[2], counts.count[3], counts.count[4],
                 counts.count[5], counts.count[6], counts.lookupMismatches, counts.mapMissing,
                 counts.mapValueMismatches);
  }
  return right;
}

int List() {
  for (const Contender& c : Contenders()) std::printf("%s\t%s\t%s\t%s\n", c.name, c.peer, FormName(c.form), c.label);
  return 0;
}

int Passes(const char* name, const char* sizeText, const char* limitText) {
  const Contender* contender = ContenderOrComplain(name);
  int32_t n = 0;
  int32_t ascendingLimit = 0;
  if (contender == nullptr || !ParseCount(sizeText, n) || !ParseCount(limitText, ascendingLimit)) return Usage();
  const bool runAscending = n <= ascendingLimit;
  PassCounts counts;
  const PassTicks ticks = contender->runPasses(n, runAscending, counts);
  if (!CountsAreRight(name, n, runAscending, counts)) return 1;
  std::printf("%s\t%d", name, n);
  for (int64_t t : ticks) std::printf("\t%lld", static_cast<long long>(t));
  std::printf("\n");
  return 0;
}

int Memory(const char* name, const char* kind, const char* sizeText) {
  const Contender* contender = ContenderOrComplain(name);
  int32_t n = 0;
  const bool map = std::strcmp(kind, "map") == 0;
  if (contender == nullptr || (!map && std::strcmp(kind, "bag") != 0) || !ParseCount(sizeText, n) || n == 0)
    return Usage();
  const long baselineKb = PeakResidentKb();
  long peakKb = 0;
  const int32_t count = contender->buildAndMeasure(map, n, peakKb);
  if (count != n || peakKb == 0) {
    std::fprintf(stderr, "hashbench-bench: %s %s holds %d keys after %d additions\n", name, kind, count, n);
    return 1;
  }
  std::printf("%s\t%s\t%d\t%.1f\n", name, kind, n, (peakKb - baselineKb) * 1024.0 / n);
  return 0;
}

double MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int TscRate() {
  const double s0 = MonotonicSeconds();
  const int64_t t0 = ReadTicks();
  const timespec pause{0, 200'000'000};
  nanosleep(&pause, nullptr);
  const int64_t t1 = ReadTicks();
  const double s1 = MonotonicSeconds();
  std::printf("%.0f\n", static_cast<double>(t1 - t0) / (s1 - s0) / 1e6);
  return 0;
}

// The generator against the program's known keys, then every container on
// the program's own size.
int Check() {
  bool right = true;
  KeyGenerator generator;
  KeyText key;
  const char* const kFirstKeys[] = {"ZFNDWAMYIURWHQVRMYFY", "OZDLZFRRJBVLLUOLCYQX", "DUZLEGXNVWXTUFGHTVBN"};
  for (const char* expected : kFirstKeys) {
    generator.Next(key);
    if (std::string_view(key.data(), key.size()) != expected) {
      std::fprintf(stderr, "hashbench-bench: key %.20s, expected %s\n", key.data(), expected);
      right = false;
    }
  }
  KeyGenerator fromStart;
  for (int i = 0; i < 2001; ++i) fromStart.Next(key);  // two bag builds, then the map's first key
  right = right && std::string_view(key.data(), key.size()) == "BXRHSYRZERCNGJAFOLNC";
  for (int i = 2001; i < 3000; ++i) fromStart.Next(key);
  right = right && std::string_view(key.data(), key.size()) == "DESZPJQWYJGBLMKOFTNV";
  ProgramKeys program;
  SuiteKeys<std::string> suite;
  for (int i = 0; i < 3000; ++i) {
    const DynString made = program.Next();
    right = right && std::string_view(made.Data(), static_cast<std::size_t>(made.Length())) == suite.Next();
  }
  if (!right) std::fputs("hashbench-bench: the key generator does not give the program's keys\n", stderr);
  for (const Contender& c : Contenders()) {
    PassCounts counts;
    c.runPasses(1000, true, counts);
    right = CountsAreRight(c.name, 1000, true, counts) && right;
  }
  std::puts(right ? "check passed" : "check FAILED");
  return right ? 0 : 1;
}

}  // namespace
}  // namespace hb::bench

int main(int argc, char** argv) {
  using namespace hb::bench;
  if (argc < 2) return Usage();
  const std::string_view command = argv[1];
  if (command == "list" && argc == 2) return List();
  if (command == "check" && argc == 2) return Check();
  if (command == "tsc-rate" && argc == 2) return TscRate();
  if (command == "passes" && argc == 5) return Passes(argv[2], argv[3], argv[4]);
  if (command == "memory" && argc == 5) return Memory(argv[2], argv[3], argv[4]);
  return Usage();
}
