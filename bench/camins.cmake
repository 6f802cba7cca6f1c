kev_bench(bench_camins ${CMAKE_CURRENT_LIST_DIR}/camins.cpp kev_camins)
