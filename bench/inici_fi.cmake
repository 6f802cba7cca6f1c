kev_bench(bench_inici_fi inici_fi.cpp)
target_compile_definitions(bench_inici_fi PRIVATE KEV_DEMO_INSTALL="${PROJECT_SOURCE_DIR}/demo/install")
# The yardstick: a program that does nothing, statically linked.
add_executable(noop_estatic noop_estatic.cpp)
target_link_options(noop_estatic PRIVATE -static)
add_dependencies(bench_inici_fi noop_estatic kevprint)
# dialog(1) showing the same destinations, where it is installed.
find_program(KEV_DIALOG dialog)
if(KEV_DIALOG)
  target_compile_definitions(bench_inici_fi PRIVATE KEV_DIALOG="${KEV_DIALOG}")
endif()
