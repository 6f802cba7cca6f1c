kev_fuzz(fuzz_llistat ${CMAKE_CURRENT_LIST_DIR}/fuzz_llistat.cpp kev_output)
