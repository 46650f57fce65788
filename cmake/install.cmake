# What `cmake --install` puts where, and the Debian package CPack builds from it.
include(GNUInstallDirs)

install(TARGETS calvetra stampa calvetra-sql calvetra-ical calvetra-vcard calvetra-cf
  calvetra-mail RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program and the runner find these from their own folder: ../share/calvetra/reports.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/stampa/reports/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/calvetra/reports FILES_MATCHING PATTERN "*.rpt")

