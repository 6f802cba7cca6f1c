kev_bench(bench_editor ${CMAKE_CURRENT_LIST_DIR}/editor.cpp kev_fields)
