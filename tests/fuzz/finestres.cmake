kev_fuzz(fuzz_finestres ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_finestres.cpp kev_console_base)
