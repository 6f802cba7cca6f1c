kev_fuzz(fuzz_calculadora ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_calculadora.cpp kev_fields)
