kev_fuzz(fuzz_descodificador ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_descodificador.cpp kev_terminal)
