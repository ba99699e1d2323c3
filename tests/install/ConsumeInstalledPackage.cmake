# Installs BUILD_DIR into WORK_DIR/prefix, builds SOURCE_DIR against it and runs the host.
# A cross build also gives TOOLCHAIN, FIND_ROOT and EMULATOR (lists with '|' between items) and
# EXE, the suffix of its programs: the examples are built with the same toolchain, and run under
# the emulator.
# The output goes through files rather than pipes: a program that Wine starts for the first
# Windows program of a session lives on with the pipes it inherited, which would never close.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_FILE ${WORK_DIR}/out.txt
                  ERROR_FILE ${WORK_DIR}/err.txt)
  file(READ ${WORK_DIR}/out.txt out)
  file(READ ${WORK_DIR}/err.txt err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  # Windows programs end their lines with CR LF.
  string(REPLACE "\r\n" "\n" out "${out}")
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
set(configure -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
set(launch "")
if(TOOLCHAIN)
  # The package and its dependencies are found under the find root; the programs find the
  # installed DLLs through Wine's search path.
  string(REPLACE "|" ";" find_root "${FIND_ROOT};${WORK_DIR}/prefix")
  file(WRITE ${WORK_DIR}/cross.cmake "set(CMAKE_FIND_ROOT_PATH \"${find_root}\" CACHE STRING \"\")\n")
  set(configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -C ${WORK_DIR}/cross.cmake)
  string(REPLACE "|" ";" launch "env|WINEPATH=${WORK_DIR}/prefix/bin|${EMULATOR}")
endif()
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR} ${configure}
    -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${launch} ${WORK_DIR}/build/orv_units_host${EXE})
if(NOT output MATCHES "Dimension Length")
  message(FATAL_ERROR "The example host printed something unexpected:\n${output}")
endif()
message(STATUS "${output}")

# The register example reads the default catalogue that the installed reader library embeds.
run(${launch} ${WORK_DIR}/build/orv_units_register${EXE})
if(NOT output STREQUAL "12.5 ft = 3.81 m\n")
  message(FATAL_ERROR "The register example printed something unexpected:\n${output}")
endif()

# The installed tool finds the installed libraries from its own folder.
if(WITH_TOOL)
  run(${launch} ${WORK_DIR}/prefix/bin/orvunits${EXE} convert 12.5 ft m)
  if(NOT output STREQUAL "3.81\n")
    message(FATAL_ERROR "The installed orvunits printed something unexpected:\n${output}")
  endif()
endif()
