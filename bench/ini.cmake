kev_bench(bench_ini ${CMAKE_CURRENT_LIST_DIR}/ini.cpp kev_session)
