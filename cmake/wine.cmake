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
# wine-run starts the bed on first use; scripts/test tears it down after the run.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run;${WINE_ETAT})

