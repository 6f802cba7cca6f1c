kev_fuzz(fuzz_dates ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_dates.cpp kev_dates)
