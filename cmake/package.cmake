# The Debian package: `cpack -G DEB` in the build folder (scripts/test-package.sh builds and
# checks it).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME calvetra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Il gruppo di sviluppo di Calvetra")
set(CPACK_PACKAGE_CONTACT "Il gruppo di sviluppo di Calvetra <assistenza@calvetra.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "contacts, agenda, payments and notices of a small office")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Italian desktop program for a small office's archive of contacts, its agenda\n\
with reminders and birthdays, payments received, letter templates and notices,\n\
e-mail to contacts, vCard and iCalendar files, printed lists and labels.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.calvetra.example)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries' detection cannot see: Qt loads its platform plugins (the desktop's
# windows) and its Italian translations at run time, and the window buttons draw their
# pictures with DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The package's documents, as Debian keeps them.
configure_file(${CMAKE_SOURCE_DIR}/dist/changelog.in ${CMAKE_BINARY_DIR}/dist/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/dist/changelog.gz
  COMMAND gzip -9n -c ${CMAKE_BINARY_DIR}/dist/changelog > ${CMAKE_BINARY_DIR}/dist/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/dist/changelog VERBATIM)
add_custom_target(calvetra_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/dist/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/dist/changelog.gz ${CMAKE_SOURCE_DIR}/dist/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/calvetra)
