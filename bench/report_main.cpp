// hashbench-bench-report RAW OUT: turns the raw samples that bench/run.sh left
// in the folder RAW into OUT/latest.md (every table), OUT/readme-table.md (the
// part the README shows) and the chart's data files RAW/chart-*.dat, and
// prints the chart's panels for gnuplot: "file size file size ...".
//
// RAW holds, one record a line, fields separated by tabs:
//   run.tsv         key, value: machine, date, runs, ascending-limit, chart-sizes
//   containers.tsv  name, peer, form (ours | program | views | copies | ref), label
//   passes.tsv      name, n, ticks of the seven passes (-1: not run)
//   memory.tsv      name, bag | map, n, bytes per key
//   program.tsv     console, milliseconds from start to "Done"
//   printed.tsv     console, the tick counts the program printed for its seven passes
//   paired.tsv      round, console or "suite", the seven tick counts: the
//                   program's runs of a round and the suite's sample taken
//                   just before them on the same processor
// Every cell is the median of its samples. Containers, sizes and consoles
// come from the data; nothing here names one.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kPassCount = 7;
const char* const kPassNames[kPassCount] = {"build",      "lookup",    "reverse removal", "second build",
                                            "ascending removal", "map build", "map lookup"};
// The README shows these sizes when the run has them.
const long kReadmeSizes[] = {1000, 100000};
// The program's own size: its printed ticks are held against this column.
constexpr long kProgramSize = 1000;

// What the console modes of the program runs are called in the tables.
const std::map<std::string, std::string> kConsoleLabels = {
    {"pipe", "stream console into a pipe"},
    {"file", "stream console into a file"},
    {"window", "window under Xvfb"},
    {"window-wm", "window under Xvfb with a window manager"},
};

using Row = std::vector<std::string>;

constexpr double kNone = -1;  // a cell without samples

std::vector<Row> ReadRows(const std::string& path) {
  std::vector<Row> rows;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    Row row;
    std::string field;
    std::istringstream fields(line);
    while (std::getline(fields, field, '\t')) row.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  return n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// 1234567 -> "1,234,567"
std::string Grouped(double value) {
  const std::string digits = std::to_string(static_cast<long long>(value + 0.5));
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

struct Container {
  std::string name, peer, form, label;
};

struct Data {
  std::map<std::string, std::string> run;
  std::vector<Container> containers;
  std::vector<long> sizes;
  // median ticks by container, n and pass
  std::map<std::string, std::map<long, std::map<int, double>>> ticks;
  std::map<std::string, std::map<std::string, double>> memory;  // bytes per key by container and kind
  long memorySize = 0;
  std::vector<std::string> consoles;                          // in the order of their first sample
  std::map<std::string, double> startToDone;                  // median milliseconds
  std::map<std::string, std::map<int, double>> printed;       // median printed ticks by console and pass
  std::map<std::string, int> printedRuns;
  // From the rounds that pair the program's runs with a suite sample: the
  // suite's median, and by console and pass the median of each round's
  // program / suite.
  std::map<int, double> pairedSuite;
  std::map<std::string, std::map<int, double>> pairedRatio;
  int pairedRounds = 0;

  // The median, or kNone when the cell has no sample.
  double Ticks(const std::string& name, long n, int pass) const {
    const auto c = ticks.find(name);
    if (c == ticks.end()) return kNone;
    const auto s = c->second.find(n);
    if (s == c->second.end()) return kNone;
    const auto p = s->second.find(pass);
    return p == s->second.end() ? kNone : p->second;
  }
  const Container* WithForm(const std::string& form) const {
    for (const Container& c : containers)
      if (c.form == form) return &c;
    return nullptr;
  }
};

void LoadPairs(const std::string& raw, Data& data) {
  std::map<std::string, std::map<std::string, std::vector<double>>> rounds;  // round, console: ticks
  for (const Row& r : ReadRows(raw + "/paired.tsv")) {
    if (r.size() != 2 + kPassCount) continue;
    std::vector<double>& ticks = rounds[r[0]][r[1]];
    for (int p = 0; p < kPassCount; ++p) ticks.push_back(std::stod(r[2 + p]));
  }
  std::map<int, std::vector<double>> suite;
  std::map<std::string, std::map<int, std::vector<double>>> ratios;
  for (const auto& [round, byConsole] : rounds) {
    const auto s = byConsole.find("suite");
    if (s == byConsole.end()) continue;
    ++data.pairedRounds;
    for (int p = 0; p < kPassCount; ++p) suite[p].push_back(s->second[p]);
    for (const auto& [console, ticks] : byConsole) {
      if (console == "suite") continue;
      for (int p = 0; p < kPassCount; ++p)
        if (s->second[p] > 0) ratios[console][p].push_back(ticks[p] / s->second[p]);
    }
  }
  for (const auto& [p, values] : suite) data.pairedSuite[p] = Median(values);
  for (const auto& [console, byPass] : ratios)
    for (const auto& [p, values] : byPass) data.pairedRatio[console][p] = Median(values);
}

Data Load(const std::string& raw) {
  Data data;
  for (const Row& r : ReadRows(raw + "/run.tsv"))
    if (r.size() >= 2) data.run[r[0]] = r[1];
  for (const Row& r : ReadRows(raw + "/containers.tsv"))
    if (r.size() >= 4) data.containers.push_back({r[0], r[1], r[2], r[3]});

  std::map<std::string, std::map<long, std::map<int, std::vector<double>>>> samples;
  for (const Row& r : ReadRows(raw + "/passes.tsv")) {
    if (r.size() != 2 + kPassCount) continue;
    const long n = std::stol(r[1]);
    if (std::find(data.sizes.begin(), data.sizes.end(), n) == data.sizes.end()) data.sizes.push_back(n);
    for (int p = 0; p < kPassCount; ++p) {
      const double t = std::stod(r[2 + p]);
      if (t >= 0) samples[r[0]][n][p].push_back(t);
    }
  }
  std::sort(data.sizes.begin(), data.sizes.end());
  for (const auto& [name, bySize] : samples)
    for (const auto& [n, byPass] : bySize)
      for (const auto& [p, values] : byPass) data.ticks[name][n][p] = Median(values);

  for (const Row& r : ReadRows(raw + "/memory.tsv")) {
    if (r.size() != 4) continue;
    data.memory[r[0]][r[1]] = std::stod(r[3]);
    data.memorySize = std::stol(r[2]);
  }

  std::map<std::string, std::vector<double>> times;
  std::map<std::string, std::map<int, std::vector<double>>> printed;
  auto noteConsole = [&](const std::string& console) {
    if (std::find(data.consoles.begin(), data.consoles.end(), console) == data.consoles.end())
      data.consoles.push_back(console);
  };
  for (const Row& r : ReadRows(raw + "/program.tsv")) {
    if (r.size() != 2) continue;
    noteConsole(r[0]);
    times[r[0]].push_back(std::stod(r[1]));
  }
  for (const Row& r : ReadRows(raw + "/printed.tsv")) {
    if (r.size() != 1 + kPassCount) continue;
    noteConsole(r[0]);
    ++data.printedRuns[r[0]];
    for (int p = 0; p < kPassCount; ++p) printed[r[0]][p].push_back(std::stod(r[1 + p]));
  }
  LoadPairs(raw, data);
  for (const auto& [console, values] : times) data.startToDone[console] = Median(values);
  for (const auto& [console, byPass] : printed)
    for (const auto& [p, values] : byPass) data.printed[console][p] = Median(values);
  return data;
}

std::string ConsoleLabel(const std::string& console) {
  const auto it = kConsoleLabels.find(console);
  return it == kConsoleLabels.end() ? console : it->second;
}

// The fastest peer of one form at one cell: its name and median.
struct Best {
  std::string peer;
  double ticks = 0;
};

std::optional<Best> BestPeer(const Data& data, const std::string& form, long n, int pass) {
  std::optional<Best> best;
  for (const Container& c : data.containers) {
    if (c.form != form) continue;
    const double t = data.Ticks(c.name, n, pass);
    if (t != kNone && (!best || t < best->ticks)) best = Best{c.peer, t};
  }
  return best;
}

std::string Ratio(double ours, const std::optional<Best>& best) {
  return ours != kNone && best && best->ticks > 0 ? Fixed(ours / best->ticks, 2) : "–";
}

// The peers in the order of the list, each once.
std::vector<std::string> Peers(const Data& data) {
  std::vector<std::string> peers;
  for (const Container& c : data.containers)
    if ((c.form == "copies" || c.form == "ref") && std::find(peers.begin(), peers.end(), c.peer) == peers.end())
      peers.push_back(c.peer);
  return peers;
}

std::string NameOf(const Data& data, const std::string& peer, const std::string& form) {
  for (const Container& c : data.containers)
    if (c.peer == peer && c.form == form) return c.name;
  return "";
}

void PassTable(std::ostream& out, const Data& data, long n) {
  const Container* ours = data.WithForm("ours");
  const Container* program = data.WithForm("program");
  const Container* views = data.WithForm("views");
  const std::vector<std::string> peers = Peers(data);
  out << "| pass |";
  if (ours) out << " " << ours->name << " |";
  if (program) out << " ours, RandomKey |";
  for (const std::string& peer : peers) out << " " << peer << " |";
  out << " best same-contract | ours / best | best by-reference | ours / best by-ref |";
  if (views) out << " hashbench, views | views / best by-ref |";
  out << "\n|---|";
  if (ours) out << "---:|";
  if (program) out << "---:|";
  for (std::size_t i = 0; i < peers.size(); ++i) out << "---:|";
  out << "---|---:|---|---:|";
  if (views) out << "---:|---:|";
  out << "\n";
  auto cell = [](double t) { return t != kNone ? Grouped(t) : std::string("–"); };
  for (int pass = 0; pass < kPassCount; ++pass) {
    bool ran = false;
    for (const Container& c : data.containers) ran = ran || data.Ticks(c.name, n, pass) != kNone;
    if (!ran) continue;
    const double oursTicks = ours ? data.Ticks(ours->name, n, pass) : kNone;
    out << "| " << kPassNames[pass] << " |";
    if (ours) out << " " << cell(oursTicks) << " |";
    if (program) out << " " << cell(data.Ticks(program->name, n, pass)) << " |";
    for (const std::string& peer : peers) {
      out << " " << cell(data.Ticks(NameOf(data, peer, "copies"), n, pass)) << " / "
          << cell(data.Ticks(NameOf(data, peer, "ref"), n, pass)) << " |";
    }
    const auto sameContract = BestPeer(data, "copies", n, pass);
    const auto byReference = BestPeer(data, "ref", n, pass);
    out << " " << (sameContract ? sameContract->peer : "–") << " | " << Ratio(oursTicks, sameContract) << " | "
        << (byReference ? byReference->peer : "–") << " | " << Ratio(oursTicks, byReference) << " |";
    if (views) {
      const double viewsTicks = data.Ticks(views->name, n, pass);
      out << " " << cell(viewsTicks) << " | " << Ratio(viewsTicks, byReference) << " |";
    }
    out << "\n";
  }
}

void MemoryTable(std::ostream& out, const Data& data) {
  // One row per container that was measured; the by-reference form stores the
  // same as the same-contract one, so only the first of a peer's forms shows.
  const std::string reference = "tsl";
  const auto ref = data.memory.find(NameOf(data, reference, "copies"));
  out << "| container | n | bag | map | bag vs " << reference << " |\n|---|---:|---:|---:|---:|\n";
  std::vector<std::string> shown;
  for (const Container& c : data.containers) {
    const auto m = data.memory.find(c.name);
    if (m == data.memory.end() || std::find(shown.begin(), shown.end(), c.peer) != shown.end()) continue;
    shown.push_back(c.peer);
    const auto bag = m->second.find("bag");
    const auto map = m->second.find("map");
    std::string ratio = "–";
    if (ref != data.memory.end() && ref->second.count("bag") && bag != m->second.end())
      ratio = Fixed(bag->second / ref->second.at("bag"), 2);
    out << "| " << c.peer << " | " << Grouped(static_cast<double>(data.memorySize)) << " | "
        << (bag == m->second.end() ? "–" : Fixed(bag->second, 1)) << " | "
        << (map == m->second.end() ? "–" : Fixed(map->second, 1)) << " | " << ratio << " |\n";
  }
}

// The program's printed ticks per console against the suite's row of ours
// with the program's own RandomKey, at the program's size.
void ProgramTable(std::ostream& out, const Data& data) {
  const Container* program = data.WithForm("program");
  std::vector<std::string> consoles;
  for (const std::string& c : data.consoles)
    if (data.printed.count(c)) consoles.push_back(c);
  if (consoles.empty()) {
    out << "No tick counts of the program were read in this run.\n";
    return;
  }
  // Paired rounds, when the run has them, give both the suite's column and
  // the ratios; otherwise the suite's column is its row of the passes.
  const bool paired = data.pairedRounds > 0;
  out << "| pass | suite: ours, RandomKey" << (paired ? ", beside the program" : "") << " |";
  for (const std::string& c : consoles) out << " " << ConsoleLabel(c) << " | ratio |";
  out << "\n|---|---:|";
  for (std::size_t i = 0; i < consoles.size(); ++i) out << "---:|---:|";
  out << "\n";
  for (int pass = 0; pass < kPassCount; ++pass) {
    double suite = program ? data.Ticks(program->name, kProgramSize, pass) : kNone;
    if (paired) suite = data.pairedSuite.count(pass) ? data.pairedSuite.at(pass) : kNone;
    out << "| " << kPassNames[pass] << " | " << (suite > 0 ? Grouped(suite) : "–") << " |";
    for (const std::string& c : consoles) {
      const double printed = data.printed.at(c).at(pass);
      double ratio = suite > 0 ? printed / suite : kNone;
      if (paired) {
        const auto byPass = data.pairedRatio.find(c);
        ratio = byPass != data.pairedRatio.end() && byPass->second.count(pass) ? byPass->second.at(pass) : kNone;
      }
      out << " " << Grouped(printed) << " | " << (ratio > 0 ? Fixed(ratio, 2) : "–") << " |";
    }
    out << "\n";
  }
  out << "\nRuns per console:";
  for (const std::string& c : consoles) out << " " << c << " " << data.printedRuns.at(c) << ";";
  if (paired) {
    out << " each of the " << data.pairedRounds
        << " rounds ran the suite's sample and then the program on every console, the thread that runs the "
           "passes on the suite's processor; the ratio is the median of the rounds' program / suite.\n";
  } else {
    out << " the ratio is the program's median over the suite's.\n";
  }
}

void StartToDoneTable(std::ostream& out, const Data& data) {
  out << "| console | start to \"Done\" (ms) |\n|---|---:|\n";
  for (const std::string& c : data.consoles) {
    const auto it = data.startToDone.find(c);
    if (it != data.startToDone.end()) out << "| " << ConsoleLabel(c) << " | " << Fixed(it->second, 1) << " |\n";
  }
}

std::string Value(const Data& data, const std::string& key) {
  const auto it = data.run.find(key);
  return it == data.run.end() ? "?" : it->second;
}

void Legend(std::ostream& out, const Data& data) {
  out << "Containers:";
  std::vector<std::string> shown;
  for (const Container& c : data.containers) {
    if (std::find(shown.begin(), shown.end(), c.peer + c.form.substr(0, 1)) != shown.end()) continue;
    if (c.form == "ref") continue;
    shown.push_back(c.peer + c.form.substr(0, 1));
    const std::string shownName = c.form == "program" ? "ours, RandomKey" : c.form == "views" ? "hashbench, views" : c.peer;
    out << "\n- " << shownName << ": " << c.label;
  }
  out << "\n\nA peer's cell gives its same-contract form first (KeyAt and Item hand out a new std::string, as ours\n"
         "hand out a new DynString) and its by-reference form second. Every key crosses into Add and SetItem as\n"
         "one new owned string. \"ours / best\" divides ours by the best same-contract peer, \"ours / best by-ref\"\n"
         "by the best by-reference peer (below 1: ours is faster). \"hashbench, views\" reads ours in place through\n"
         "the C++ face (views from at(i), find and lookup) in the lookup passes; \"views / best by-ref\" divides it\n"
         "by the best by-reference peer.\n";
}

void Latest(std::ostream& out, const Data& data) {
  out << "# Benchmark results\n\nMachine: " << Value(data, "machine") << ".\n\nRun " << Value(data, "date")
      << ". Each cell is the median of " << Value(data, "runs")
      << " fresh processes, each pinned to one core;\nthe unit is time-stamp counter ticks for the whole pass "
         "(key generation included in the build passes).\nAscending removal is quadratic and runs only up to "
      << Grouped(std::stod(Value(data, "ascending-limit") == "?" ? "0" : Value(data, "ascending-limit")))
      << " keys.\n\n";
  Legend(out, data);
  for (long n : data.sizes) {
    out << "\n## n = " << Grouped(static_cast<double>(n)) << "\n\n";
    PassTable(out, data, n);
  }
  out << "\n## Peak memory per stored key\n\nA separate process per container builds the keys; the figure is its "
         "peak resident memory after the\nbuild minus its peak before it, divided by the number of keys (bytes). "
         "The bag/set holds each key once,\nthe map each key and a copy of it as the value.\n\n";
  MemoryTable(out, data);
  out << "\n## The program itself\n\nThe tick counts the program printed for its own passes (1,000 keys), medians,"
         "\nnext to the suite's row of ours with the program's own RandomKey at n = 1,000:\n\n";
  ProgramTable(out, data);
  out << "\nStart to the line \"Done\", medians:\n\n";
  StartToDoneTable(out, data);
}

void ReadmeTable(std::ostream& out, const Data& data) {
  out << "Machine: " << Value(data, "machine") << ".\nRun " << Value(data, "date") << ". Ticks per pass, medians of "
      << Value(data, "runs")
      << " fresh pinned processes; a peer's cell is same-contract / by-reference;\n\"ours / best\" is against the "
         "best same-contract peer, \"ours / best by-ref\" against the best by-reference peer.\n";
  for (long n : kReadmeSizes) {
    if (std::find(data.sizes.begin(), data.sizes.end(), n) == data.sizes.end()) continue;
    out << "\nn = " << Grouped(static_cast<double>(n)) << (n == kProgramSize ? " (the program's own size)" : "")
        << ":\n\n";
    PassTable(out, data, n);
  }
  out << "\nThe program's own printed ticks (medians) against the suite's row of ours with its RandomKey:\n\n";
  ProgramTable(out, data);
  out << "\nPeak memory per stored key at " << Grouped(static_cast<double>(data.memorySize)) << " keys (bytes):\n\n";
  MemoryTable(out, data);
}

// Chart data, one file per size: a row per pass, median ticks of ours and of
// the same-contract peers; and one file of ours over the best same-contract
// peer, a row per pass, a column per size.
void ChartData(const std::string& raw, const Data& data) {
  std::vector<const Container*> shown;
  for (const Container& c : data.containers)
    if (c.form == "ours" || c.form == "copies") shown.push_back(&c);
  for (long n : data.sizes) {
    std::ofstream out(raw + "/chart-" + std::to_string(n) + ".dat");
    out << "pass";
    for (const Container* c : shown) out << "\t" << c->peer;
    out << "\n";
    for (int pass = 0; pass < kPassCount; ++pass) {
      out << "\"" << kPassNames[pass] << "\"";
      for (const Container* c : shown) {
        const double t = data.Ticks(c->name, n, pass);
        out << "\t" << (t != kNone ? Fixed(t, 0) : "-");
      }
      out << "\n";
    }
  }
  const Container* ours = data.WithForm("ours");
  std::ofstream out(raw + "/chart-ratios.dat");
  out << "pass";
  for (long n : data.sizes) out << "\t\"n = " << Grouped(static_cast<double>(n)) << "\"";
  out << "\n";
  for (int pass = 0; pass < kPassCount; ++pass) {
    out << "\"" << kPassNames[pass] << "\"";
    for (long n : data.sizes) {
      const double t = ours ? data.Ticks(ours->name, n, pass) : kNone;
      const auto best = BestPeer(data, "copies", n, pass);
      out << "\t" << (t != kNone && best && best->ticks > 0 ? Fixed(t / best->ticks, 3) : "-");
    }
    out << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: hashbench-bench-report RAW-FOLDER OUT-FOLDER\n", stderr);
    return 2;
  }
  const std::string raw = argv[1];
  const std::string outDir = argv[2];
  const Data data = Load(raw);
  if (data.containers.empty() || data.sizes.empty()) {
    std::fprintf(stderr, "hashbench-bench-report: no containers or no pass samples in %s\n", raw.c_str());
    return 1;
  }
  std::ofstream latest(outDir + "/latest.md");
  Latest(latest, data);
  std::ofstream readme(outDir + "/readme-table.md");
  ReadmeTable(readme, data);
  ChartData(raw, data);
  // For gnuplot: each panel's data file and size.
  for (long n : data.sizes) std::cout << raw << "/chart-" << n << ".dat " << Grouped(static_cast<double>(n)) << " ";
  std::cout << "\n";
  return latest && readme ? 0 : 1;
}
