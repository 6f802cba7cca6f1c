kev_fuzz(fuzz_ini ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini.cpp kev_session)
