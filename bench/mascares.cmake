kev_bench(bench_mascares ${CMAKE_CURRENT_LIST_DIR}/mascares.cpp kev_fields_base)
