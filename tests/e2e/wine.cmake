# End-to-end tests of kevprint.exe: under wine in tmux at 80 x 25, on a scratch copy of
# the demo with native Windows paths.
find_program(TMUX tmux)
if(TMUX)
  set(E2E_WINE_ENV
    "BIN=$<TARGET_FILE:kevprint>"
    "SORTIDA=$<TARGET_FILE:kevdemo_sortida>"
    "DEMO=${PROJECT_SOURCE_DIR}/demo/install"
    "WINE_SH=${PROJECT_SOURCE_DIR}/cmake/wine.sh"
    "WINEPREFIX=${CMAKE_BINARY_DIR}/wine")
  foreach(nom flux_sense_dialeg dialeg selector)
    add_test(NAME e2e_wine_${nom} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/wine_${nom}.sh)
    set_tests_properties(e2e_wine_${nom} PROPERTIES LABELS e2e ENVIRONMENT "${E2E_WINE_ENV}" TIMEOUT 300)
  endforeach()
endif()
