# Runs SOURCE_DIR/scripts/make_default_catalogue.py with PYTHON into OUTPUT and fails unless the
# result is data/DefaultCatalogue.xml byte for byte: the committed catalogue is what the script
# writes from the definitions in scripts/catalogue/.
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${PYTHON} -B ${SOURCE_DIR}/scripts/make_default_catalogue.py ${OUTPUT}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make_default_catalogue.py failed (${status}):\n${out}${err}")
endif()
set(committed ${SOURCE_DIR}/data/DefaultCatalogue.xml)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${committed}
                RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${committed} differs from what scripts/make_default_catalogue.py writes "
                      "(${OUTPUT}); run the script and commit its output with the definitions.")
endif()
message(STATUS "${out}")
