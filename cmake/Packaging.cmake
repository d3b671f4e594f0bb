# Installation and the Debian package. Everything a desktop needs goes under
# the install prefix: the program, its guide, the desktop entry, the icons,
# the file types, the thumbnailer, the AppStream metadata, the manual page and
# the sample waveforms. `make package` configures a build with the prefix /usr
# and runs CPack's DEB generator on it; the package's dependencies come from
# the binaries (dpkg-shlibdeps), and the desktop's own triggers (shared-mime-info,
# desktop-file-utils, the icon cache) pick the files up, so the package has no
# scripts of its own.

set(ONDALIS_APP_ID io.github.ondalis.Ondalis)

# The sample waveforms and the starter velocity-factor library, written by
# tdrsynth at build time.
set(ONDALIS_SAMPLES_DIR ${CMAKE_BINARY_DIR}/samples)
add_custom_command(OUTPUT ${ONDALIS_SAMPLES_DIR}/.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${ONDALIS_SAMPLES_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ONDALIS_SAMPLES_DIR}
  COMMAND $<TARGET_FILE:tdrsynth> samples ${ONDALIS_SAMPLES_DIR}/
  COMMAND $<TARGET_FILE:tdrsynth> cables ${ONDALIS_SAMPLES_DIR}/cables.tku
  COMMAND ${CMAKE_COMMAND} -E touch ${ONDALIS_SAMPLES_DIR}/.stamp
  DEPENDS tdrsynth)
add_custom_target(sample_waveforms ALL DEPENDS ${ONDALIS_SAMPLES_DIR}/.stamp)

# Manual pages and changelog, compressed as Debian wants them (no name or time
# in the gzip header, so builds are reproducible).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(ONDALIS_PACKAGED_DIR ${CMAKE_BINARY_DIR}/packaged)
set(ONDALIS_MAN_GZ ${ONDALIS_PACKAGED_DIR}/ondalis.1.gz)
set(TDRSYNTH_MAN_GZ ${ONDALIS_PACKAGED_DIR}/tdrsynth.1.gz)
set(ONDALIS_CHANGELOG_GZ ${ONDALIS_PACKAGED_DIR}/changelog.gz)
add_custom_command(OUTPUT ${ONDALIS_MAN_GZ} ${TDRSYNTH_MAN_GZ} ${ONDALIS_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${ONDALIS_PACKAGED_DIR}
  COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/docs/ondalis.1 > ${ONDALIS_MAN_GZ}
  COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/docs/tdrsynth.1 > ${TDRSYNTH_MAN_GZ}
  COMMAND ${GZIP_PROGRAM} -9nc ${PROJECT_SOURCE_DIR}/data/debian/changelog > ${ONDALIS_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/ondalis.1 ${PROJECT_SOURCE_DIR}/docs/tdrsynth.1
          ${PROJECT_SOURCE_DIR}/data/debian/changelog
  VERBATIM)
add_custom_target(packaged_docs ALL DEPENDS ${ONDALIS_MAN_GZ} ${TDRSYNTH_MAN_GZ} ${ONDALIS_CHANGELOG_GZ})

install(TARGETS ondalis tdrsynth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/help.html data/debian/copyright ${ONDALIS_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${ONDALIS_MAN_GZ} ${TDRSYNTH_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/ondalis.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/ondalis-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ondalis.xml)
install(FILES data/ondalis.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)
install(FILES data/${ONDALIS_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor
        PATTERN ".stamp" EXCLUDE)
install(FILES data/icons/application-x-ondalis-tdr.svg data/icons/application-x-ondalis-site-grid.svg
              data/icons/application-x-ondalis-cable-library.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/mimetypes)
install(DIRECTORY ${ONDALIS_SAMPLES_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ondalis/samples
        PATTERN ".stamp" EXCLUDE)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ondalis)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ondalis developers")
set(CPACK_PACKAGE_CONTACT "The Ondalis developers <ondalis@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of time-domain reflectometer waveforms")
# The extended description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Ondalis shows the waveforms (.tdr files) of a copper-cable time-domain
reflectometer: up to three on one distance-calibrated plot with two
measurement cursors, zoom and a vertical shift per channel, so that a
technician can read off the distance to a cable fault. It lists the
waveforms of a folder, finds the events along the line, keeps
velocity-factor libraries and site grids, and prints a report.
.
The package brings file types, thumbnails and a desktop entry, a manual
page, the user guide and sample waveforms.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
include(CPack)
