# Installs BUILD_DIR into WORK_DIR/prefix, builds SOURCE_DIR against it and runs the host.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "Failed (${status}): ${ARGN}\n${out}\n${err}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${COMPILER} -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix
    -DCMAKE_BUILD_TYPE=Release)
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/orv_units_host)
if(NOT output MATCHES "Dimension Length")
  message(FATAL_ERROR "The example host printed something unexpected:\n${output}")
endif()
message(STATUS "${output}")

# The register example reads the default catalogue that the installed reader library embeds.
run(${WORK_DIR}/build/orv_units_register)
if(NOT output STREQUAL "12.5 ft = 3.81 m\n")
  message(FATAL_ERROR "The register example printed something unexpected:\n${output}")
endif()

# The installed tool finds the installed libraries from its own folder.
if(WITH_TOOL)
  run(${WORK_DIR}/prefix/bin/orvunits convert 12.5 ft m)
  if(NOT output STREQUAL "3.81\n")
    message(FATAL_ERROR "The installed orvunits printed something unexpected:\n${output}")
  endif()
endif()
