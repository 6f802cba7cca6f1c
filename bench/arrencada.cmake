kev_bench(bench_arrencada arrencada.cpp)
