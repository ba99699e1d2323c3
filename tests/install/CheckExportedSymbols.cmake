# Fails when LIBRARY exports a defined dynamic symbol outside the Orv namespaces: every exported
# name must be one of our public classes, their members, vtables and type information, or a
# public function. A Linux library's dynamic symbols are read with nm; a Windows DLL's export
# table with OBJDUMP -p, its names demangled with CXXFILT.
if(OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} COMMAND ${CXXFILT}
                  RESULT_VARIABLE status OUTPUT_VARIABLE table)
  # The names follow the "[Ordinal/Name Pointer] Table" line, one "[ index] name" a line, which
  # becomes nm's "<value> <type> <name>" for the checks below.
  string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t\\[ *[0-9]+\\] [^\n]*\n)*" table "${table}")
  string(REGEX REPLACE "\t\\[ *[0-9]+\\] " "0 T " symbols "${table}")
  string(REPLACE "[Ordinal/Name Pointer] Table\n" "" symbols "${symbols}")
else()
  execute_process(COMMAND nm -D --defined-only -C ${LIBRARY}
                  RESULT_VARIABLE status OUTPUT_VARIABLE symbols)
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "Cannot read the exported symbols of ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
# Internals that live in the Orv namespaces all the same (a Detail name, not a public member
# whose parameters mention one).
string(CONCAT internals "anonymous namespace|^[^(]*::Detail::|CatalogueMap|CacheHashMap::|CStringLess|"
              "RegisteredReader|EngineFromBase|ComposeEngine|ConvertOnce")
set(ours 0)
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REGEX REPLACE "^[0-9a-f]* [A-Za-z] " "" name "${line}")
  if(name MATCHES "^(typeinfo for |typeinfo name for |vtable for |VTT for |non-virtual thunk to |virtual thunk to )?Orv::")
    math(EXPR ours "${ours} + 1")
  elseif(name MATCHES "^(_init|_fini|_edata|_end|__bss_start)$" OR name MATCHES "@@")
    # linker-defined symbols and symbol versions
  else()
    message(SEND_ERROR "${LIBRARY} exports an internal symbol: ${name}")
  endif()
  if(name MATCHES "${internals}")
    message(SEND_ERROR "${LIBRARY} exports an internal symbol: ${name}")
  endif()
endforeach()
if(ours EQUAL 0)
  message(FATAL_ERROR "${LIBRARY} exports none of its public symbols")
endif()
message(STATUS "${LIBRARY}: ${ours} public symbols")
