kev_fuzz(fuzz_llistat_dir ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_llistat_dir.cpp kev_camins)
