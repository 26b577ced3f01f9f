# Installation and the Debian package. Included at the end of the top-level
# CMakeLists.txt, once every executable target has been defined; each target
# and the files that belong to it are installed only when the target exists.
include(GNUInstallDirs)

set(GSMBV_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# A program, stripped for the package (cpack, install/strip) as Debian strips
# its own: after the usual strip, the compiler's notes go too.
function(gsmbv_programm ziel)
  install(TARGETS ${ziel} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${GSMBV_PACKAGING_DIR}/strip\"
                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${ziel}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endfunction()

# A manual page, compressed as Debian ships them (gzip -9n: no name, no
# time) when gzip is there.
find_program(GSMBV_GZIP gzip)
function(gsmbv_handbuch seite)
  if(GSMBV_GZIP)
    set(ziel ${CMAKE_BINARY_DIR}/packaging/${seite}.gz)
    add_custom_command(
      OUTPUT ${ziel}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
      COMMAND ${GSMBV_GZIP} -9 -n -c ${GSMBV_PACKAGING_DIR}/${seite} > ${ziel}
      DEPENDS ${GSMBV_PACKAGING_DIR}/${seite}
      VERBATIM)
    string(REPLACE "." "_" name ${seite})
    add_custom_target(handbuch_${name} ALL DEPENDS ${ziel})
  else()
    set(ziel ${GSMBV_PACKAGING_DIR}/${seite})
  endif()
  install(FILES ${ziel} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# The window, with its menu entry, its icon and its manual page.
if(TARGET gsmbv-konfig)
  gsmbv_programm(gsmbv-konfig)
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-konfig.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-konfig.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  gsmbv_handbuch(gsmbv-konfig.1)
endif()

# The command-line tool, with its manual page and its bash completion.
if(TARGET gsmbv)
  gsmbv_programm(gsmbv)
  gsmbv_handbuch(gsmbv.1)
  # Bash completion, found by bash-completion under the command's name.
  install(FILES ${GSMBV_PACKAGING_DIR}/gsmbv-completion.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME gsmbv)
endif()

# The simulated device, with its manual page.
if(TARGET gsmbv-sim)
  gsmbv_programm(gsmbv-sim)
  gsmbv_handbuch(gsmbv-sim.1)
endif()

# Who answers for the package. The project has no public domain of its own,
# and an address under a made-up public name would reach a stranger. So its
# address lies under ".invalid", the name kept for addresses that reach no
# one: plainly the project's, plainly no mailbox. Whoever builds a package to
# hand on names themselves as Debian's tools expect (DEBFULLNAME, DEBEMAIL),
# or with -DGSMBV_PAKETPFLEGE="Name <address>".
if(DEFINED ENV{DEBFULLNAME} AND DEFINED ENV{DEBEMAIL})
  set(paketpflege "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
else()
  set(paketpflege "GSM Boravilon Paketpflege <paketpflege@gsmbv.invalid>")
endif()
set(GSMBV_PAKETPFLEGE "${paketpflege}" CACHE STRING "Maintainer of the Debian package: Name <address>")

# The package's documentation: the machine-readable copyright file made
# from LICENSE, and the Debian changelog.
file(READ ${CMAKE_SOURCE_DIR}/LICENSE lizenz)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" gefunden "${lizenz}")
set(GSMBV_URHEBER "${CMAKE_MATCH_1}")
string(FIND "${lizenz}" "Permission is hereby granted" anfang)
string(SUBSTRING "${lizenz}" ${anfang} -1 text)
string(STRIP "${text}" text)
string(REPLACE "\n\n" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " text "${text}")
set(GSMBV_LIZENZTEXT " ${text}")
configure_file(${GSMBV_PACKAGING_DIR}/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
set(GSMBV_DOKU ${CMAKE_INSTALL_DATADIR}/doc/${PROJECT_NAME})
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${GSMBV_DOKU})
if(GSMBV_GZIP)
  set(aenderungen ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
  add_custom_command(
    OUTPUT ${aenderungen}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GSMBV_GZIP} -9 -n -c ${GSMBV_PACKAGING_DIR}/changelog.Debian > ${aenderungen}
    DEPENDS ${GSMBV_PACKAGING_DIR}/changelog.Debian
    VERBATIM)
  add_custom_target(paket_aenderungen ALL DEPENDS ${aenderungen})
  install(FILES ${aenderungen} DESTINATION ${GSMBV_DOKU})
endif()
# German words that the package checker's English spelling list takes for typos.
install(FILES ${GSMBV_PACKAGING_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${PROJECT_NAME})

# Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "gsmbv")
set(CPACK_PACKAGE_VENDOR "GSM Boravilon Konfiguration")
set(CPACK_PACKAGE_CONTACT "${GSMBV_PAKETPFLEGE}")
# The package's own revision: 1.3.0-1. The changelog's newest entry names it.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
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
