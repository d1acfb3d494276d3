# Installing and packaging: the programs to bin/, their data to
# share/quendrix/, a menu entry with its icon, man pages, and a Debian package
# (cpack -G DEB in the build folder).
include(GNUInstallDirs)

set(QUENDRIX_MAINTAINER "Quendrix <serwis@quendrix.example>")
set(QUENDRIX_DATA_FOLDERS lang skins help)

# The build tree is found as the folder beside the executable: its programs
# and benchmarks see the repository's data through links.
foreach(dir src bench)
  if(dir STREQUAL "bench" AND NOT QUENDRIX_BENCH)
    continue()
  endif()
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/${dir})
  foreach(data ${QUENDRIX_DATA_FOLDERS})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${data} ${PROJECT_BINARY_DIR}/${dir}/${data} SYMBOLIC COPY_ON_ERROR)
  endforeach()
endforeach()

install(TARGETS quendrix quendrix-cli quendrix-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(data ${QUENDRIX_DATA_FOLDERS})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${data} DESTINATION ${CMAKE_INSTALL_DATADIR}/quendrix)
endforeach()

set(pkg ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${pkg}/quendrix.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/icons/quendrix.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNGs are rendered from the SVG and kept in the repository (no SVG
# renderer needed to build):
#   for s in 16 32 48 64 128 256; do rsvg-convert -w $s -h $s quendrix.svg -o quendrix-$s.png; done
foreach(size 16 32 48 64 128 256)
  install(FILES ${pkg}/icons/quendrix-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME quendrix.png)
endforeach()

# Man pages: hand-written around each program's own --help (cmake/ManPage.cmake).
# Not in the checked build: its programs must not run during the build.
if(NOT QUENDRIX_SANITIZE)
  string(TIMESTAMP man_date "%Y-%m-%d" UTC)
  set(man_pages)
  foreach(prog quendrix quendrix-cli quendrix-sim)
    set(out ${PROJECT_BINARY_DIR}/man/${prog}.1)
    add_custom_command(OUTPUT ${out} ${out}.gz
      COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${prog}> -DNAME=${prog}
              -DTEMPLATE=${pkg}/man/${prog}.1.in -DOUTPUT=${out}
              -DVERSION=${PROJECT_VERSION} -DDATE=${man_date} -P ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${prog} ${pkg}/man/${prog}.1.in ${PROJECT_SOURCE_DIR}/cmake/ManPage.cmake
      COMMENT "Man page of ${prog}"
      VERBATIM)
    list(APPEND man_pages ${out}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# What Debian wants of every package: the copyright and a changelog, gzipped.
string(TIMESTAMP QUENDRIX_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${pkg}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/packaging/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${pkg}/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quendrix)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendrix)
set(CPACK_PACKAGE_VENDOR Quendrix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUENDRIX_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up and diagnostics of LPG stepper-motor controllers")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUENDRIX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quendrix.example)
# The summary is the first line; this is the text under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quendrix is a desktop program for fitters of LPG (autogas) stepper-motor
controllers. Over RS-232 or a USB-serial adapter it chooses the car's
ignition system while watching engine speed, reads, edits and writes the
controller's parameters, shows live readings on instruments and a chart, and
runs the autoadaptation wizard.
.
The package also holds quendrix-cli, for backups and restores of the
controller's parameters from a terminal, and quendrix-sim, an emulated
controller on a pseudo-terminal.")
# Libraries from the binaries; the platform plugins Qt loads at run time
# (the window, and the offscreen one of --screenshot) on top.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own dialogs in the window's language; English without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${pkg}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
