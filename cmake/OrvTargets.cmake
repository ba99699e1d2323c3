# Settings shared by every Orv target.

include(GenerateExportHeader)

# BUILD_SHARED_LIBS=OFF builds static libraries; shared ones otherwise, also when it is not set.
# A static build links the Xerces-C parts into the libraries rather than into modules loaded on
# first use, so that a host links the static libraries as it links the shared ones.
if(DEFINED BUILD_SHARED_LIBS AND NOT BUILD_SHARED_LIBS)
  set(ORV_UNITS_STATIC ON)
else()
  set(ORV_UNITS_STATIC OFF)
endif()

# Compiler warnings for our own code. Hosts that add us as a subdirectory do not get them.
function(orv_set_warnings target)
  if(NOT PROJECT_IS_TOP_LEVEL)
    return()
  endif()
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
  else()
    target_compile_options(${target} PRIVATE
      -Wall            # the common, reliable warnings
      -Wextra          # unused parameters, signed/unsigned comparisons and similar slips
      -Wpedantic       # extensions that another compiler would refuse
      -Wshadow         # a local that hides a member or another local
      -Wnon-virtual-dtor # a polymorphic class that cannot be deleted through its base
    )
  endif()
  if(ORV_UNITS_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/WX,-Werror>)
  endif()
endfunction()

# Sanitizer flags, chosen with ORV_UNITS_SANITIZE; the first finding stops the program. A fuzz
# build (ORV_UNITS_BUILD_FUZZERS) instruments every target for libFuzzer's coverage without
# linking libFuzzer's own main, which only the fuzz targets link (orv_add_fuzz_target).
function(orv_set_sanitizers target)
  if(ORV_UNITS_BUILD_FUZZERS)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                           -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    return()
  elseif(ORV_UNITS_SANITIZE STREQUAL "address")
    set(flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  elseif(ORV_UNITS_SANITIZE STREQUAL "thread")
    set(flags -fsanitize=thread -fno-omit-frame-pointer)
  else()
    return()
  endif()
  target_compile_options(${target} PRIVATE ${flags})
  target_link_options(${target} PRIVATE ${flags})
endfunction()

# Language level, warnings and sanitizers of any target of ours (libraries, tools, tests).
function(orv_configure_target target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  orv_set_warnings(${target})
  orv_set_sanitizers(${target})
endfunction()

# Code that ends up in one of our shared libraries or modules: symbols hidden unless exported, and
# calls inside the library straight to its own functions (nobody replaces them from outside), so
# that they can be inlined rather than go through the procedure linkage table.
function(orv_hide_internals target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -fno-semantic-interposition)
  endif()
  if(WIN32)
    # A DLL is named as the library, whichever the compiler (MinGW would add "lib").
    set_target_properties(${target} PROPERTIES PREFIX "")
  endif()
  if(MINGW)
    # A DLL exports what its export macros declare. Without this, MinGW's linker would export
    # every symbol of one that declares none.
    target_link_options(${target} PRIVATE "LINKER:--exclude-all-symbols")
  endif()
endfunction()

# A module that one of our libraries loads on first use (platform/ModuleLoader.h), built and
# installed beside it as <output_name>. It sees the public headers and the generated export
# headers. In a static build it is an object library that orv_link_module puts into its library.
function(orv_add_module target output_name)
  if(ORV_UNITS_STATIC)
    add_library(${target} OBJECT ${ARGN})
    orv_configure_target(${target})
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/include
                                                 ${PROJECT_BINARY_DIR}/include)
    return()
  endif()
  add_library(${target} MODULE ${ARGN})
  orv_configure_target(${target})
  orv_hide_internals(${target})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output_name})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/include
                                               ${PROJECT_BINARY_DIR}/include)
  # Beside the library that loads it: a Windows DLL lives in the bin folder.
  set(destination $<IF:$<PLATFORM_ID:Windows>,${CMAKE_INSTALL_BINDIR},${CMAKE_INSTALL_LIBDIR}>)
  install(TARGETS ${target} LIBRARY DESTINATION ${destination})
endfunction()

# Makes `library` reach the module `target`: in a shared build it loads the module, whose file
# name it gets as `file_define`, and building the library builds the module; in a static build
# the module's objects (and `ARGN`, more object libraries) are linked in and ORV_LINKED_MODULES
# makes the library call the module's entry directly. Either way the module's libraries
# (`link_libraries`) follow it.
function(orv_link_module library target file_define)
  if(ORV_UNITS_STATIC)
    target_sources(${library} PRIVATE $<TARGET_OBJECTS:${target}>)
    foreach(objects IN LISTS ARGN)
      target_sources(${library} PRIVATE $<TARGET_OBJECTS:${objects}>)
    endforeach()
    target_compile_definitions(${library} PRIVATE ORV_LINKED_MODULES)
    target_link_libraries(${library} PRIVATE XercesC::XercesC)
  else()
    target_compile_definitions(${library} PRIVATE ${file_define}="$<TARGET_FILE_NAME:${target}>")
    target_link_libraries(${library} PRIVATE ${CMAKE_DL_LIBS})
    add_dependencies(${library} ${target})
  endif()
endfunction()

# A shared library of ours: hidden symbols unless exported by its macro `<MACRO>`, declared in a
# header generated into the build tree (`units/<header>`), which switches to export while the
# library itself is compiled (`building_define`). Installed and exported as Orv::<export_name>.
function(orv_add_library target export_name output_name building_define macro header)
  if(ORV_UNITS_STATIC)
    add_library(${target} STATIC)
    # A host may link the static libraries into a shared library of its own.
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_compile_definitions(${target} PUBLIC ${macro}_STATIC_DEFINE)
  else()
    add_library(${target} SHARED)
  endif()
  add_library(Orv::${export_name} ALIAS ${target})
  orv_configure_target(${target})
  orv_hide_internals(${target})
  set_target_properties(${target} PROPERTIES
    EXPORT_NAME ${export_name}
    OUTPUT_NAME ${output_name}
    DEFINE_SYMBOL ${building_define}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    # Installed side by side, the libraries find one another wherever the package is put.
    INSTALL_RPATH "$<$<PLATFORM_ID:Linux>:$ORIGIN>")
  set(generated ${PROJECT_BINARY_DIR}/include/units/${header})
  generate_export_header(${target} BASE_NAME ${macro} EXPORT_MACRO_NAME ${macro}_API
                         EXPORT_FILE_NAME ${generated})
  target_sources(${target} PUBLIC FILE_SET HEADERS
                 BASE_DIRS ${PROJECT_SOURCE_DIR}/include ${PROJECT_BINARY_DIR}/include
                 FILES ${generated})
  target_link_libraries(${target} PUBLIC Orv::UnitsInterfaces)
  if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT ORV_UNITS_STATIC)
    # The version script keeps internals, and the standard library's template instantiations,
    # out of the dynamic symbol table; binding our own functions inside the library lets its
    # calls to them skip the procedure linkage table.
    target_link_options(${target} PRIVATE
                        "LINKER:--version-script=${PROJECT_SOURCE_DIR}/cmake/exports.map"
                        "LINKER:-Bsymbolic-functions")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 ${PROJECT_SOURCE_DIR}/cmake/exports.map)
  endif()
  # Installed once the folder's CMakeLists.txt has added the library's header file set.
  cmake_language(EVAL CODE "cmake_language(DEFER CALL orv_install_library [[${target}]])")
endfunction()

function(orv_install_library target)
  install(TARGETS ${target} EXPORT OrvUnitsTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
          RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
          FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
endfunction()

# The contracts between the libraries: abstract reader, engine, event and XML interfaces and the
# reader's records, header-only and depending on nothing of ours.
add_library(orv_units_interfaces INTERFACE)
add_library(Orv::UnitsInterfaces ALIAS orv_units_interfaces)
set_target_properties(orv_units_interfaces PROPERTIES EXPORT_NAME UnitsInterfaces)
target_compile_features(orv_units_interfaces INTERFACE cxx_std_17)
target_sources(orv_units_interfaces INTERFACE FILE_SET HEADERS
               BASE_DIRS ${PROJECT_SOURCE_DIR}/include FILES
               ${PROJECT_SOURCE_DIR}/include/units/interfaces/ConverterEngine.h
               ${PROJECT_SOURCE_DIR}/include/units/interfaces/Events.h
               ${PROJECT_SOURCE_DIR}/include/units/interfaces/Reader.h
               ${PROJECT_SOURCE_DIR}/include/units/interfaces/Xml.h)
install(TARGETS orv_units_interfaces EXPORT OrvUnitsTargets
        FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
