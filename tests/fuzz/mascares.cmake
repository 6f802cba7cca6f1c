kev_fuzz(fuzz_mascares ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_mascares.cpp kev_fields_base)
