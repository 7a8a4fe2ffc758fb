# Programs built here run under Wine, in a prefix that belongs to this build
# tree and never in the user's own ~/.wine.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(VANTIK_WINE_LOADER /usr/lib/wine/wine64)
else()
    set(VANTIK_WINE_LOADER /usr/lib/wine/wine)
endif()
set(VANTIK_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
