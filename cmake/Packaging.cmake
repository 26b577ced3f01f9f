# Installation and the Debian package. Included at the end of the top-level
# CMakeLists.txt, once every executable target has been defined; each target
# and the files that belong to it are installed only when the target exists.
include(GNUInstallDirs)

set(GSMBV_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The window, with its menu entry and its icon.
if(TARGET gsmbv-konfig)
  install(TARGETS gsmbv-konfig RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-konfig.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-konfig.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The command-line tool, with its manual page (compressed when gzip is there)
# and its bash completion.
if(TARGET gsmbv)
  install(TARGETS gsmbv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  find_program(GSMBV_GZIP gzip)
  if(GSMBV_GZIP)
    set(handbuch ${CMAKE_BINARY_DIR}/packaging/gsmbv.1.gz)
    add_custom_command(
      OUTPUT ${handbuch}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${GSMBV_GZIP} -9 -n -c ${GSMBV_PACKAGING_DIR}/gsmbv.1 > ${handbuch}
      DEPENDS ${GSMBV_PACKAGING_DIR}/gsmbv.1
      VERBATIM)
    add_custom_target(gsmbv-handbuch ALL DEPENDS ${handbuch})
  else()
    set(handbuch ${GSMBV_PACKAGING_DIR}/gsmbv.1)
  endif()
  install(FILES ${handbuch} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  # Bash completion, found by bash-completion under the command's name.
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-completion.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME gsmbv)
endif()

# The simulated device.
if(TARGET gsmbv-sim)
  install(TARGETS gsmbv-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "gsmbv")
set(CPACK_PACKAGE_VENDOR "example.org")
set(CPACK_PACKAGE_CONTACT "GSMBV-Paketpflege <pakete@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "configuration program for the Boravilon 3.0 GSM alarm dialler")
# One line of the package description per line here (CPack indents them).
set(CPACK_PACKAGE_DESCRIPTION
    "Reads the configuration of a Boravilon 3.0 GSM alarm dialler over a serial
cable, edits it in a German window under the device's rules, writes the
changed pages back, saves and opens configuration files, downloads the event
memory and sets the device clock. Includes the command-line tool gsmbv and
the simulated device gsmbv-sim.")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "comm")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")

# Qt loads the platform plug-in and its German translations at run time; no
# linked library names them, so they are listed by hand. The libraries come
# from dpkg-shlibdeps where it exists, else from the list below.
set(GSMBV_QT_LAUFZEIT "qt6-qpa-plugins, qt6-translations-l10n")
find_program(GSMBV_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(GSMBV_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${GSMBV_QT_LAUFZEIT}")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6serialport6 (>= 6.4), ${GSMBV_QT_LAUFZEIT}")
endif()

include(CPack)
