kev_bench(bench_finestres ${CMAKE_CURRENT_LIST_DIR}/finestres.cpp kev_console_base)
