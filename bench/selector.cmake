kev_bench(bench_selector selector.cpp kev_selector)
