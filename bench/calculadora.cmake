kev_bench(bench_calculadora ${CMAKE_CURRENT_LIST_DIR}/calculadora.cpp kev_fields)
