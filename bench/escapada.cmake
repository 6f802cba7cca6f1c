kev_bench(bench_escapada escapada.cpp)
target_compile_definitions(bench_escapada PRIVATE KEV_DEMO_INSTALL="${PROJECT_SOURCE_DIR}/demo/install")
add_dependencies(bench_escapada kevprint)
