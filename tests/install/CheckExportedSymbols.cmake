# Fails when LIBRARY exports a defined dynamic symbol outside the Orv namespaces: every exported
# name must be one of our public classes, their members, vtables and type information, or a
# public function.
execute_process(COMMAND nm -D --defined-only -C ${LIBRARY}
                RESULT_VARIABLE status OUTPUT_VARIABLE symbols)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
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
