kev_fuzz(fuzz_drecera ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_drecera.cpp kev_selector)
