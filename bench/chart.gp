# Clustered bars of median ticks per pass, one panel per size, log scale.
# Set from the command line: outfile, ncont (containers), files ("dat n dat n").
set terminal pngcairo size 1500,1000 font "DejaVu Sans,11"
set output outfile
set datafile separator "\t"
set datafile missing "-"
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9
set logscale y
set format y "10^{%L}"
set grid ytics mytics
set key outside right top vertical
set ylabel "ticks per pass (median)"
set xtics nomirror rotate by -20
panels = words(files) / 2
set multiplot layout panels, 1
do for [p = 1:panels] {
  dat = word(files, 2 * p - 1)
  n = word(files, 2 * p)
  set title sprintf("n = %s keys", n)
  plot for [c = 2:ncont + 1] dat using c:xtic(1) title columnheader(c)
}
unset multiplot
