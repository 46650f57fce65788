# What `cmake --install` puts where, and the Debian package CPack builds from it.
include(GNUInstallDirs)
# Installing (and so `cpack`) takes what is built and builds nothing more: not the tests and
# benchmarks, which the package does not hold.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS calvetra stampa calvetra-sql calvetra-ical calvetra-vcard calvetra-cf
  calvetra-mail calvetra-privacy calvetra-dav calvetra-csv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The program and the runner find these from their own folder: ../share/calvetra/reports.
# The distributor's lines of the about box ("Realizzazione"), left empty to be filled in.
install(FILES ${CMAKE_SOURCE_DIR}/dist/realizzazione.ini
  DESTINATION ${CMAKE_INSTALL_DATADIR}/calvetra)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/tools/stampa/reports/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/calvetra/reports FILES_MATCHING PATTERN "*.rpt")

# Manual pages, compressed as Debian keeps them.
set(calvetra_man_pages calvetra stampa calvetra-sql calvetra-ical calvetra-vcard calvetra-cf
  calvetra-mail calvetra-privacy calvetra-dav calvetra-csv)
set(calvetra_man_gz)
foreach(page IN LISTS calvetra_man_pages)
  set(source ${CMAKE_SOURCE_DIR}/dist/man/${page}.1)
  set(gz ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND gzip -9n -c ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  list(APPEND calvetra_man_gz ${gz})
endforeach()
add_custom_target(calvetra_man_pages ALL DEPENDS ${calvetra_man_gz})
install(FILES ${calvetra_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The menu entry, its icon and the software-centre description.
set(calvetra_app_id example.calvetra.Calvetra)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${calvetra_app_id}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/${calvetra_app_id}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/calvetra.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/dist/icons/calvetra-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME calvetra.png)
endforeach()
include(${CMAKE_CURRENT_LIST_DIR}/package.cmake)
