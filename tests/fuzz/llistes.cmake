kev_fuzz(fuzz_llistes ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_llistes.cpp kev_console)
