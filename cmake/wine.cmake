# Windows programs of the build run under Wine, in a private prefix of this
# build folder (never the user's own), with Xvfb and one persistent wineserver.
set(WINE_ETAT ${CMAKE_BINARY_DIR}/wine)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(WINE_ARCH win64)
else()
  set(WINE_ARCH win32)
endif()
file(MAKE_DIRECTORY ${WINE_ETAT})
file(WRITE ${WINE_ETAT}/arch "${WINE_ARCH}\n")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run;${WINE_ETAT})

# Every test shares one Wine bed, started before the first and torn down after the last.
function(ordaskel_banc_wine)
  if(NOT TEST banc_wine_debut)
    add_test(NAME banc_wine_debut COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-banc start ${WINE_ETAT})
    add_test(NAME banc_wine_fin COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-banc stop ${WINE_ETAT})
    set_tests_properties(banc_wine_debut PROPERTIES FIXTURES_SETUP banc_wine)
    set_tests_properties(banc_wine_fin PROPERTIES FIXTURES_CLEANUP banc_wine)
  endif()
endfunction()
