# The chart of bench/run.sh: one panel per size with clustered bars of median
# ticks per pass (ours and the same-contract peers, log scale), then a panel
# of ours over the best same-contract peer per pass and size, 1.0 marked (a
# log scale of ticks hides a 2x gap).
# Set from the command line: outfile, files ("dat n dat n ..."), ratios (dat).
panels = words(files) / 2
set terminal pngcairo size 1500, 340 * (panels + 1) font "DejaVu Sans,11"
set output outfile
set datafile separator "\t"
set datafile missing "-"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set key outside right top vertical
set xtics nomirror rotate by -20
set multiplot layout panels + 1, 1
set logscale y
set format y "10^{%L}"
set grid ytics mytics
set ylabel "ticks per pass (median)"
do for [p = 1:panels] {
  dat = word(files, 2 * p - 1)
  n = word(files, 2 * p)
  columns = system("head -1 " . dat . " | awk -F'\t' '{ print NF }'")
  set title sprintf("n = %s keys", n)
  plot for [c = 2:columns] dat using c:xtic(1) title columnheader(c)
}
unset logscale y
set format y "%.1f"
set grid noytics nomytics
set grid ytics
set yrange [0:*]
set ylabel "ours / best same-contract peer"
set title "ours over the best same-contract peer (below 1.0: ours is faster)"
columns = system("head -1 " . ratios . " | awk -F'\t' '{ print NF }'")
plot for [c = 2:columns] ratios using c:xtic(1) title columnheader(c), \
     1.0 with lines lw 2 lc rgb "black" dashtype 2 title "1.0"
unset multiplot
