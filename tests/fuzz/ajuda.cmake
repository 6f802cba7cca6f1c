kev_fuzz(fuzz_ajuda ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_ajuda.cpp kev_console)
