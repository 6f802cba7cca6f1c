kev_bench(bench_dates ${CMAKE_CURRENT_LIST_DIR}/dates.cpp kev_dates)
