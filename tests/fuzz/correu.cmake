kev_fuzz(fuzz_correu ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_correu.cpp kev_mail)
