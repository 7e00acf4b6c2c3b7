# Installation where the Filesystem Hierarchy Standard expects things, and the Debian package.
include(GNUInstallDirs)
set(TESMAR_MANUAL_NAME_tesmar "program of the Tesmar USB measuring instrument")
set(TESMAR_MANUAL_NAME_tesmar-cli "measure, convert and decode with the Tesmar instrument from the command line")
set(TESMAR_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

if(TARGET tesmar)
  install(TARGETS tesmar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(TARGETS tesmar-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tesmar-cli-plot)
  install(TARGETS tesmar-cli-plot RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tesmar)
endif()
install(FILES ${TESMAR_PACKAGING_DIR}/60-tesmar.rules DESTINATION lib/udev/rules.d)
install(FILES ${TESMAR_PACKAGING_DIR}/tesmar.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TESMAR_PACKAGING_DIR}/tesmar.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${TESMAR_PACKAGING_DIR}/lang/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tesmar/lang)
set(TESMAR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tesmar)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${TESMAR_PACKAGING_DIR}/copyright DESTINATION ${TESMAR_DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/manual/ DESTINATION ${TESMAR_DOC_DIR}/manual)

# The changelog and the manual pages are compressed as Debian wants them (no name, no time stamp).
# The manual pages come from the programs' own --help, so they never drift from it.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(changelog_gz ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
  COMMAND ${GZIP_PROGRAM} -9nc ${TESMAR_PACKAGING_DIR}/changelog > ${changelog_gz}
  DEPENDS ${TESMAR_PACKAGING_DIR}/changelog)
set(packaging_outputs ${changelog_gz})
install(FILES ${changelog_gz} DESTINATION ${TESMAR_DOC_DIR})

find_program(HELP2MAN_PROGRAM help2man)
if(HELP2MAN_PROGRAM)
  set(manual_programs tesmar-cli)
  if(TARGET tesmar)
    list(APPEND manual_programs tesmar)
  endif()
  foreach(program IN LISTS manual_programs)
    set(page ${PROJECT_BINARY_DIR}/packaging/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
      COMMAND ${HELP2MAN_PROGRAM} --no-info --no-discard-stderr --version-string=${PROJECT_VERSION}
              --name=${TESMAR_MANUAL_NAME_${program}} --section=1 $<TARGET_FILE:${program}>
              | ${GZIP_PROGRAM} -9n > ${page}
      DEPENDS ${program} VERBATIM)
    list(APPEND packaging_outputs ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
else()
  message(STATUS "help2man not found: the package is built without manual pages")
endif()
add_custom_target(packaging_files ALL DEPENDS ${packaging_outputs})

set(CPACK_PACKAGE_NAME tesmar)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tesmar developers <tesmar@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Program of the Tesmar USB measuring instrument")
# CPack puts the summary first and indents these lines itself; an empty line separates paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tesmar is a small USB instrument with two 10-bit analogue channels, sixteen
logic lines and an 8-line pattern generator. This package turns it into an
oscilloscope, a spectrum analyser, a long-term recorder and a logic analyser
with UART, SPI, I2C and 1-Wire decoders, with an I2C terminal, calibration
and firmware update.

A virtual instrument is built in, so every tool can be tried without the
hardware (tesmar -SIM). tesmar-cli measures, converts and decodes from the
command line.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window system plugin and libzip are loaded at run time, so no library dependency names
# them. Help → manual opens the HTML manual through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils")
if(TESMAR_LIBZIP_PACKAGE)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${TESMAR_LIBZIP_PACKAGE}")
else()
  message(WARNING "no Debian package found for ${TESMAR_LIBZIP_SONAME}: the package will not depend on libzip")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "udev, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TESMAR_PACKAGING_DIR}/postinst ${TESMAR_PACKAGING_DIR}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
