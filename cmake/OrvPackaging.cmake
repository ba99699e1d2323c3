# What the installed package holds besides the libraries and the CMake package: the pkg-config
# file, the catalogue schema and examples, the licence, and for the tool its man page and bash
# completion; then the Debian package that cpack makes of it all.

# orvunits.pc. A static build's host needs Xerces-C and the libraries' static define too.
file(RELATIVE_PATH ORV_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" ORV_PC_TO_PREFIX "${ORV_PC_TO_PREFIX}")
if(ORV_UNITS_STATIC)
  set(ORV_PC_REQUIRES "Requires")
  set(ORV_PC_CFLAGS " -DORV_UNITS_STATIC_DEFINE -DORV_UNITS_READER_STATIC_DEFINE")
  string(APPEND ORV_PC_CFLAGS " -DORV_UNITS_CONVERTER_STATIC_DEFINE -DORV_SERVICE_STATIC_DEFINE")
  string(APPEND ORV_PC_CFLAGS " -DORV_XML_STATIC_DEFINE")
else()
  set(ORV_PC_REQUIRES "Requires.private")
  set(ORV_PC_CFLAGS "")
endif()
configure_file(${PROJECT_SOURCE_DIR}/cmake/orvunits.pc.in ${PROJECT_BINARY_DIR}/orvunits.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/orvunits.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/data/UnitCatalog.xsd
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvunits)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/catalogue
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvunits/examples)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/orvunits)

if(TARGET orvunits)
  install(FILES ${PROJECT_SOURCE_DIR}/tools/orvunits/orvunits.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME orvunits)
  # The man page is the tool's own --help, made by help2man when the build can run the tool.
  find_program(ORV_UNITS_HELP2MAN help2man)
  if(ORV_UNITS_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
    set(page ${PROJECT_BINARY_DIR}/man/orvunits.1)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${ORV_UNITS_HELP2MAN} --no-info --section=1
              "--name=convert values between units and inspect a units catalogue"
              --include=${PROJECT_SOURCE_DIR}/tools/orvunits/orvunits.h2m
              --output=${page} $<TARGET_FILE:orvunits>
      DEPENDS orvunits ${PROJECT_SOURCE_DIR}/tools/orvunits/orvunits.h2m
      COMMENT "Writing the orvunits man page"
      VERBATIM)
    add_custom_target(orv_units_man_page ALL DEPENDS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endif()

# cpack -G DEB: one package of the libraries, headers, CMake and pkg-config files, the tool and
# its documentation, depending on Debian's runtime packages. Only for a Linux build of our own: a
# host that adds us as a subproject packages itself.
if(NOT PROJECT_IS_TOP_LEVEL OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
# The Python package is left out (component "python"): Debian's interpreter does not look where
# it is installed, and pip installs it from python/.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};OrvUnits;Unspecified;/")
set(CPACK_PACKAGE_NAME orvunits)
set(CPACK_PACKAGE_VENDOR "Orv Units")
set(CPACK_PACKAGE_CONTACT "Orv Units maintainers <orvunits@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libxerces-c3.2 (>= 3.2.4), libstdc++6 (>= 12), libgcc-s1, libc6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libxerces-c-dev, pkg-config, cmake")
include(CPack)
