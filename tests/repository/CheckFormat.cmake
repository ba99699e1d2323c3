# Fails listing the C++ files of the checkout in SOURCE_DIR (tracked, or new and not ignored) that
# CLANG_FORMAT would change; `clang-format -i FILE` rewrites one as it should be.
execute_process(COMMAND ${GIT} ls-files --cached --others --exclude-standard
                        -- *.h *.hpp *.cpp *.cc *.cxx
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE listed)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "git ls-files failed in ${SOURCE_DIR}")
endif()
string(REPLACE "\n" ";" listed "${listed}")
set(files "")
foreach(file IN LISTS listed)
  # A tracked file deleted from the working tree is listed too.
  if(NOT file STREQUAL "" AND EXISTS ${SOURCE_DIR}/${file})
    list(APPEND files ${file})
  endif()
endforeach()
list(LENGTH files count)
if(count EQUAL 0)
  message(FATAL_ERROR "No C++ files found in ${SOURCE_DIR}")
endif()

# One run over all files; each line it would change is reported as "FILE:LINE:COLUMN: warning".
execute_process(COMMAND ${CLANG_FORMAT} --dry-run ${files}
                WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE status ERROR_VARIABLE report)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${CLANG_FORMAT} failed:\n${report}")
endif()
string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: warning: code should be clang-formatted" findings
       "${report}")
set(unformatted "")
foreach(finding IN LISTS findings)
  string(REGEX REPLACE ":[0-9]+:[0-9]+: warning: .*" "" file "${finding}")
  list(APPEND unformatted ${file})
endforeach()
list(REMOVE_DUPLICATES unformatted)
if(unformatted)
  list(JOIN unformatted "\n  " listing)
  message(FATAL_ERROR "These files do not match .clang-format (run clang-format -i on them):\n"
                      "  ${listing}")
endif()
message(STATUS "${count} C++ files match .clang-format")
