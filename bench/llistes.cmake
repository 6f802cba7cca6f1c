kev_bench(bench_llistes llistes.cpp kev_console)
