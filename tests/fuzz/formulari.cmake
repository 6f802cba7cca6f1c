kev_fuzz(fuzz_formulari ${CMAKE_CURRENT_LIST_DIR}/fuzz_formulari.cpp kev_console)
