#!/usr/bin/env bash
# Turns the raw samples of bench/run.sh into latest.md and latest.png.
# Arguments: passes.tsv memory.tsv program.tsv printed.tsv out-dir machine runs
#            ascending-limit "sizes" "containers" "chart sizes"
set -euo pipefail
passes_tsv=$1 memory_tsv=$2 program_tsv=$3 printed_tsv=$4 out=$5 machine=$6 runs=$7 ascending_limit=$8
sizes=$9 containers=${10} chart_sizes=${11}
pass_names="build|lookup|reverse removal|second build|ascending removal|map build|map lookup"
work=$(dirname "$passes_tsv")

# One line per cell: container, n, pass number, median ticks, samples.
medians=$work/medians.tsv
awk -F'\t' '{ for (p = 3; p <= 9; p++) if ($p >= 0) print $1 "\t" $2 "\t" p - 3 "\t" $p }' "$passes_tsv" |
  sort -t$'\t' -k1,1 -k2,2n -k3,3n -k4,4n |
  awk -F'\t' '
    function flush() {
      if (c == 0) return
      m = c % 2 ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
      printf "%s\t%.0f\t%d\n", key, m, c
    }
    { k = $1 "\t" $2 "\t" $3; if (k != key) { flush(); key = k; c = 0 } v[++c] = $4 }
    END { flush() }' >"$medians"

awk -F'\t' -v sizes="$sizes" -v containers="$containers" -v passnames="$pass_names" \
    -v machine="$machine" -v runs="$runs" -v asclimit="$ascending_limit" -v date="$(date -u '+%Y-%m-%d %H:%M UTC')" \
    -v memfile="$memory_tsv" -v progfile="$program_tsv" -v printedfile="$printed_tsv" '
  # 1234567 -> 1,234,567
  function group(s,   r) {
    r = ""
    while (length(s) > 3) { r = "," substr(s, length(s) - 2) r; s = substr(s, 1, length(s) - 3) }
    return s r
  }
  { med[$1, $2, $3] = $4 }
  END {
    nsizes = split(sizes, size, " "); nc = split(containers, cont, " "); np = split(passnames, pass, "|")
    ours = ""; for (i = 1; i <= nc; i++) if (cont[i] == "hashbench") ours = "hashbench"
    print "# Benchmark results"
    print ""
    print "Machine: " machine "."
    print ""
    print "Run " date ". Each cell is the median of " runs " fresh processes, each pinned to one core;"
    print "the unit is time-stamp counter ticks for the whole pass (key generation included in the build passes)."
    print "\"best peer\" is the fastest of the other containers, and the last column is ours divided by it"
    print "(below 1 means ours is faster). Ascending removal is quadratic and runs only up to " group(asclimit) " keys."
    for (s = 1; s <= nsizes; s++) {
      n = size[s]
      print ""
      print "## n = " group(n)
      print ""
      line = "| pass |"; sep = "|---|"
      for (i = 1; i <= nc; i++) { line = line " " cont[i] " |"; sep = sep "---:|" }
      print line " best peer | ours / best |"
      print sep "---|---:|"
      for (p = 1; p <= np; p++) {
        line = "| " pass[p] " |"; best = -1; bestname = ""; have = 0
        for (i = 1; i <= nc; i++) {
          k = cont[i] SUBSEP n SUBSEP (p - 1)
          if (k in med) {
            have = 1; v = med[k]; cell = group(v)
            if (cont[i] != "hashbench" && (best < 0 || v < best)) { best = v; bestname = cont[i] }
          } else cell = "–"
          line = line " " cell " |"
        }
        if (!have) continue
        okey = ours SUBSEP n SUBSEP (p - 1)
        ratio = (ours != "" && (okey in med) && best > 0) ? sprintf("%.2f", med[okey] / best) : "–"
        print line " " (bestname == "" ? "–" : bestname) " | " ratio " |"
      }
    }
    print ""
    print "## Peak memory per stored key"
    print ""
    print "A separate process per container builds the keys; the figure is its peak resident memory after the"
    print "build minus its peak before it, divided by the number of keys (bytes). The bag/set holds each key once,"
    print "the map each key and a copy of it as the value."
    print ""
    print "| container | n | bag | map | bag vs tsl |"
    print "|---|---:|---:|---:|---:|"
    while ((getline row < memfile) > 0) {
      split(row, f, "\t"); mem[f[1], f[2]] = f[4]; memn = f[3]
    }
    for (i = 1; i <= nc; i++) {
      c = cont[i]; if (!((c, "bag") in mem)) continue
      r = (("tsl", "bag") in mem) ? sprintf("%.2f", mem[c, "bag"] / mem["tsl", "bag"]) : "–"
      print "| " c " | " group(memn) " | " sprintf("%.1f", mem[c, "bag"]) " | " sprintf("%.1f", mem[c, "map"]) " | " r " |"
    }
    print ""
    print "## The program itself"
    print ""
    print "Start to the line \"Done\", median over the runs, in milliseconds."
    print ""
    print "| console | start to Done | runs |"
    print "|---|---:|---:|"
    while ((getline row < progfile) > 0) { split(row, f, "\t"); print "| " f[1] " | " f[2] " | " f[3] " |" }
    runsPrinted = 0
    while ((getline row < printedfile) > 0) {
      split(row, f, "\t"); runsPrinted++
      for (p = 1; p <= np; p++) printed[p, runsPrinted] = f[p]
    }
    if (runsPrinted > 0) {
      print ""
      print "The tick counts the program printed for its own passes (1,000 keys), median of " runsPrinted " stream runs,"
      print "next to what this suite measures for the same pass on our containers:"
      print ""
      print "| pass | printed by the program | this suite, n = 1,000 |"
      print "|---|---:|---:|"
      for (p = 1; p <= np; p++) {
        c = 0
        for (r = 1; r <= runsPrinted; r++) sample[++c] = printed[p, r] + 0
        for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (sample[j] < sample[i]) { t = sample[i]; sample[i] = sample[j]; sample[j] = t }
        m = c % 2 ? sample[(c + 1) / 2] : (sample[c / 2] + sample[c / 2 + 1]) / 2
        okey = "hashbench" SUBSEP 1000 SUBSEP (p - 1)
        print "| " pass[p] " | " group(sprintf("%.0f", m)) " | " ((okey in med) ? group(med[okey]) : "–") " |"
      }
    }
    print ""
    print "Containers: hashbench = our cStringBag / cStringToStringMap through their interfaces;"
    print "tsl = tsl::ordered_set / ordered_map<std::string>; boost = boost::multi_index_container with"
    print "random_access + hashed_unique indices; std = std::unordered_map + a vector in insertion order;"
    print "absl = absl::flat_hash_map + a vector in insertion order. Every peer stores the 20-letter keys as"
    print "std::string and uses its own default hash; bench/peer_*.h say how each one removes by position."
  }' "$medians" >"$out/latest.md"

# Chart data: one file per size, a row per pass, a column per container.
plot_cmds=()
index=0
for n in $chart_sizes; do
  dat=$work/chart-$n.dat
  awk -F'\t' -v n="$n" -v containers="$containers" -v passnames="$pass_names" '
    { med[$1, $2, $3] = $4 }
    END {
      nc = split(containers, cont, " "); np = split(passnames, pass, "|")
      line = "pass"; for (i = 1; i <= nc; i++) line = line "\t" cont[i]; print line
      for (p = 1; p <= np; p++) {
        line = ""; ran = 0
        for (i = 1; i <= nc; i++) {
          k = cont[i] SUBSEP n SUBSEP (p - 1)
          if (k in med) ran = 1
          line = line "\t" ((k in med) ? med[k] : "-")
        }
        print "\"" pass[p] (ran ? "" : " (not run)") "\"" line
      }
    }' "$work/medians.tsv" >"$dat"
  plot_cmds+=("$dat" "$(sed ':a;s/\B[0-9]\{3\}\>/,&/;ta' <<<"$n")")
  index=$((index + 1))
done
gnuplot -e "outfile='$out/latest.png'; ncont=$(wc -w <<<"$containers"); files='${plot_cmds[*]}'" bench/chart.gp
