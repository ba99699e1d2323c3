# The other ways a host takes Orv Units, each building the register example and running it:
#   MODE=pkgconfig    install BUILD_DIR into WORK_DIR/prefix and build with pkg-config alone
#   MODE=fetchcontent build a CMake host that adds SOURCE_DIR with FetchContent
#   MODE=static       build SOURCE_DIR's libraries static, install them, and build with
#                     find_package and with pkg-config
# COMPILER and GENERATOR are the build's own.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_register program)
  run(${program})
  if(NOT output STREQUAL "12.5 ft = 3.81 m\n")
    message(FATAL_ERROR "${program} printed something unexpected:\n${output}")
  endif()
endfunction()

# Builds the register example with the flags that pkg-config gives for the package in `prefix`.
function(build_with_pkgconfig prefix program)
  find_program(PKG_CONFIG pkg-config REQUIRED)
  set(ENV{PKG_CONFIG_PATH} "")
  file(GLOB_RECURSE pc_file ${prefix}/*/orvunits.pc)
  get_filename_component(pc_dir "${pc_file}" DIRECTORY)
  set(ENV{PKG_CONFIG_PATH} ${pc_dir})
  run(${PKG_CONFIG} --cflags --libs ${ARGN} orvunits)
  string(STRIP "${output}" flags)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run(${PKG_CONFIG} --variable=libdir orvunits)
  string(STRIP "${output}" libdir)
  run(${COMPILER} -std=c++17 ${SOURCE_DIR}/examples/register/main.cpp -o ${program} ${flags}
      -Wl,-rpath,${libdir})
  expect_register(${program})
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(configure -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_BUILD_TYPE=Release)
find_program(ccache ccache)
if(ccache)
  list(APPEND configure -DCMAKE_CXX_COMPILER_LAUNCHER=${ccache})
endif()

if(MODE STREQUAL "pkgconfig")
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
  build_with_pkgconfig(${WORK_DIR}/prefix ${WORK_DIR}/register)
elseif(MODE STREQUAL "fetchcontent")
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/install/fetchcontent -B ${WORK_DIR}/build
      ${configure} -DORV_UNITS_SOURCE=${SOURCE_DIR})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
  expect_register(${WORK_DIR}/build/fetched_host)
elseif(MODE STREQUAL "static")
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/orv ${configure} -DBUILD_SHARED_LIBS=OFF
      -DORV_UNITS_BUILD_TESTS=OFF -DORV_UNITS_BUILD_EXAMPLES=OFF -DORV_UNITS_BUILD_PYTHON=OFF
      -DORV_UNITS_BUILD_TOOLS=ON)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/orv)
  run(${CMAKE_COMMAND} --install ${WORK_DIR}/orv --prefix ${WORK_DIR}/prefix)
  file(GLOB shared ${WORK_DIR}/prefix/lib*/libOrv*.so* ${WORK_DIR}/prefix/lib*/*/libOrv*.so*)
  if(shared)
    message(FATAL_ERROR "A static build installed shared libraries: ${shared}")
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${WORK_DIR}/examples ${configure}
      -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/examples)
  expect_register(${WORK_DIR}/examples/orv_units_register)
  run(${WORK_DIR}/examples/orv_units_host)
  # The static package requires Xerces-C publicly: no --static, which would want the static
  # libraries of everything Xerces-C uses.
  build_with_pkgconfig(${WORK_DIR}/prefix ${WORK_DIR}/register)
  # The catalogue parser, linked in rather than loaded, reads a file.
  run(${WORK_DIR}/prefix/bin/orvunits --catalogue ${SOURCE_DIR}/examples/catalogue/minimal.xml
      convert 12.5 ft m)
  if(NOT output STREQUAL "3.81\n")
    message(FATAL_ERROR "The static orvunits printed something unexpected:\n${output}")
  endif()
else()
  message(FATAL_ERROR "MODE is '${MODE}'; it must be pkgconfig, fetchcontent or static")
endif()
