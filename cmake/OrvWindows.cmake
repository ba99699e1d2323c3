# What a Windows build needs beyond the targets themselves.
#
# Windows finds a program's DLLs in the program's own folder, so every executable, DLL and module
# of the build goes to one folder, bin/, together with the third-party and compiler runtime DLLs
# that they load. A cross build from Linux (the windows preset, cmake/MinGW-w64.toolchain.cmake)
# also builds its third-party libraries once into the build tree, and runs the programs that the
# build and the tests start under Wine.

# (The empty generator expression keeps Visual Studio from adding a folder per configuration,
# where the copied DLLs would not be.)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin$<0:>)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin$<0:>)

# The third-party libraries built for Windows by scripts/windows-deps.sh, which skips what an
# earlier configure step has built already.
function(orv_windows_third_party)
  set(work ${PROJECT_BINARY_DIR}/third-party)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/windows-deps.sh ${work}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "scripts/windows-deps.sh failed to build the third-party libraries for "
                        "Windows; run scripts/setup.sh first, which installs what it needs.")
  endif()
  list(APPEND CMAKE_FIND_ROOT_PATH ${work}/prefix)
  set(CMAKE_FIND_ROOT_PATH ${CMAKE_FIND_ROOT_PATH} PARENT_SCOPE)
endfunction()

# Wine in a prefix of the build tree's own, made here once: its first start takes seconds, and
# tests must not race to make it. The programs then run with Wine's messages off.
function(orv_windows_wine)
  find_program(ORV_WINE64 wine64 PATHS /usr/lib/wine)
  find_program(ORV_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine)
  if(NOT ORV_WINE64 OR NOT ORV_WINESERVER)
    message(FATAL_ERROR "The Windows programs run under Wine: install Debian's wine64 package "
                        "(scripts/setup.sh does).")
  endif()
  set(prefix ${PROJECT_BINARY_DIR}/wine)
  set(environment WINEPREFIX=${prefix} WINEDEBUG=-all)
  if(NOT EXISTS ${prefix}/system.reg)
    message(STATUS "Making the Wine prefix ${prefix}")
    # No Mono or Gecko: the console programs need neither, and their installers would ask.
    execute_process(COMMAND env ${environment} WINEDLLOVERRIDES=mscoree,mshtml=
                            ${ORV_WINE64} wineboot --init
                    OUTPUT_QUIET ERROR_QUIET)
    execute_process(COMMAND env ${environment} ${ORV_WINESERVER} -w)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR env ${environment} ${ORV_WINE64} PARENT_SCOPE)
endfunction()

# Copies the DLLs that our programs load but do not build into bin/, and installs them beside
# the libraries: Xerces-C's, and the runtime DLLs of the MinGW compiler.
function(orv_windows_runtime_dlls)
  find_file(ORV_XERCES_DLL NAMES libxerces-c.dll xerces-c_3_2.dll
            HINTS ${XercesC_INCLUDE_DIR}/../bin NO_CMAKE_FIND_ROOT_PATH)
  set(dlls ${ORV_XERCES_DLL})
  if(MINGW)
    foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
      execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                      OUTPUT_VARIABLE dll OUTPUT_STRIP_TRAILING_WHITESPACE)
      if(NOT IS_ABSOLUTE "${dll}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${name} is.")
      endif()
      list(APPEND dlls ${dll})
    endforeach()
  endif()
  foreach(dll IN LISTS dlls)
    if(dll)
      file(COPY ${dll} DESTINATION ${PROJECT_BINARY_DIR}/bin)
      install(FILES ${dll} DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
endfunction()

if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_SYSTEM_NAME STREQUAL "Linux")
  orv_windows_third_party()
  if(NOT DEFINED CMAKE_CROSSCOMPILING_EMULATOR)
    orv_windows_wine()
  endif()
endif()
