# Time against history length, one panel for each commit-graph state, from bench/run's data:
#   gnuplot -e "data='plot.dat'; out='performance.svg'" bench/plot.gp
# data holds two blocks, without and with a commit-graph file; columns: commits, then seconds for
# a repeat revstamp, repeat revstamp targeted, one-pass floor, two-pass floor, autorevision,
# parallel floor, revstamp with nothing kept. A third block holds the 50-submodule repositories
# (submodules added, or a clone with them checked out): name, then seconds for a repeat revstamp
# targeted, the parallel floor targeted, and revstamp targeted with nothing kept.
set terminal svg size 1400,460 dynamic font 'sans,13' background rgb 'white'
set output out
set logscale xy
set grid xtics ytics mxtics mytics lc rgb '#dddddd'
set xlabel 'commits reachable from HEAD'
set ylabel 'wall time per stamp (s)'
set xrange [700:450000]
set format y '%g'
set key top left
set style data linespoints
set multiplot layout 1,3 title 'One stamp before a compile (median of hyperfine runs; lower is better)'
do for [graph=0:1] {
  set title (graph ? 'with .git/objects/info/commit-graph' : 'without commit-graph')
  plot data index graph using 1:2 title 'revstamp, repeat' lw 3 pt 7 lc rgb '#1f77b4', \
       '' index graph using 1:3 title 'revstamp, repeat (targeted)' lw 2 pt 5 dt 2 lc rgb '#1f77b4', \
       '' index graph using 1:8 title 'revstamp, nothing kept' lw 2 pt 6 lc rgb '#ff7f0e', \
       '' index graph using 1:7 title 'parallel floor' lw 2 pt 3 lc rgb '#9467bd', \
       '' index graph using 1:4 title 'one-pass floor' lw 2 pt 9 lc rgb '#2ca02c', \
       '' index graph using 1:5 title 'two-pass floor' lw 2 pt 11 lc rgb '#7f7f7f', \
       '' index graph using 1:6 title 'autorevision -t h' lw 2 pt 13 lc rgb '#d62728'
}
set title 'targeted form, 1000 commits and 50 submodules'
unset logscale
set xrange [*:*]
set yrange [0:*]
set offsets 0, 0, graph 0.3, 0
set xlabel 'submodules'
set style data histogram
set style histogram clustered gap 1
set style fill solid 0.8
plot data index 2 using 2:xtic(1) title 'revstamp, repeat (targeted)' lc rgb '#1f77b4', \
     '' index 2 using 4 title 'revstamp, nothing kept (targeted)' lc rgb '#ff7f0e', \
     '' index 2 using 3 title 'parallel floor (targeted)' lc rgb '#9467bd'
unset multiplot
