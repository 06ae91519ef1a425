# Installation, desktop integration, the Windows version record and the Debian package.
# Included from the top-level CMakeLists.txt after the program's directories, so the `tallix` target
# exists once app/ is there; everything that needs it asks first.

include(GNUInstallDirs)

# One address scheme for everything that points at the project: its GitHub page, and the raw files of
# its main branch for the screenshot that software centres show.
set(TALLIX_HOMEPAGE "https://github.com/tallix/tallix")
set(TALLIX_RAW_FILES "https://raw.githubusercontent.com/tallix/tallix/main")
set(TALLIX_SCREENSHOT_URL "${TALLIX_RAW_FILES}/docs/screenshot.png")
# The AppStream component id: the homepage's host and path, reversed.
set(TALLIX_APPSTREAM_ID "io.github.tallix.tallix")
# The desktop entry is named after the program file, which is what X11 (WM_CLASS) and Wayland (app_id)
# report for the program's windows, so that docks and task bars match them to the entry.
set(TALLIX_DESKTOP_ID "tallix")
set(TALLIX_ICON_NAME "tallix")
set(TALLIX_ICON_FILE "${PROJECT_SOURCE_DIR}/resources/images/tallix.ico")

# Windows version record. Configured on every platform so that the tests can compile it anywhere.

# The record's version text is "1.00": the major version, a dot, and the minor version in two digits.
if(PROJECT_VERSION_MINOR LESS 10)
  set(TALLIX_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(TALLIX_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
set(TALLIX_PRODUCT_NAME "Calculator")
set(TALLIX_INTERNAL_NAME "Tallix")
set(TALLIX_ORIGINAL_FILENAME "Tallix.exe")
set(TALLIX_VERSIONINFO_RC "${PROJECT_BINARY_DIR}/resources/windows/versioninfo.rc")
configure_file(resources/windows/versioninfo.rc.in "${TALLIX_VERSIONINFO_RC}" @ONLY)

if(WIN32)
  target_sources(tallix PRIVATE "${TALLIX_VERSIONINFO_RC}")
endif()

# Installation.

if(NOT WIN32)
  install(TARGETS tallix
      RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
      BUNDLE DESTINATION .)
endif()

# Desktop integration for freedesktop.org desktops: the desktop entry, the icon in the hicolor theme
# and the AppStream metainfo.
if(UNIX AND NOT APPLE)
  # The theme's PNG images are the icon file's own two images, written out at build time by a small
  # Qt tool (tools/icon-png), so that the desktop shows the same icon as the program's windows.
  set(TALLIX_ICON_THEME_DIR "${PROJECT_BINARY_DIR}/share/icons/hicolor")
  set(_tallix_icons "")
  foreach(size 24 48)
    set(_png "${TALLIX_ICON_THEME_DIR}/${size}x${size}/apps/${TALLIX_ICON_NAME}.png")
    add_custom_command(OUTPUT "${_png}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${TALLIX_ICON_THEME_DIR}/${size}x${size}/apps"
        COMMAND tallix-icon-png "${TALLIX_ICON_FILE}" ${size} "${_png}"
        DEPENDS tallix-icon-png "${TALLIX_ICON_FILE}"
        COMMENT "Writing the ${size}x${size} theme icon from tallix.ico"
        VERBATIM)
    list(APPEND _tallix_icons "${_png}")
    install(FILES "${_png}" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps")
  endforeach()
  add_custom_target(tallix_theme_icons ALL DEPENDS ${_tallix_icons})
  unset(_tallix_icons)
  unset(_png)

  set(TALLIX_DESKTOP_FILE "${PROJECT_SOURCE_DIR}/resources/desktop/${TALLIX_DESKTOP_ID}.desktop")
  install(FILES "${TALLIX_DESKTOP_FILE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")

  set(TALLIX_METAINFO_FILE "${PROJECT_BINARY_DIR}/share/metainfo/${TALLIX_APPSTREAM_ID}.metainfo.xml")
  configure_file(resources/desktop/${TALLIX_APPSTREAM_ID}.metainfo.xml.in "${TALLIX_METAINFO_FILE}" @ONLY)
  install(FILES "${TALLIX_METAINFO_FILE}" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

  # The manual page, and the copyright and changelog that Debian asks of every package, in the folder
  # named after the package. Compressed as Debian's tools do: best compression, no name or time stamp.
  file(STRINGS resources/debian/changelog _changelog_top LIMIT_COUNT 1)
  if(NOT _changelog_top MATCHES "^tallix \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "resources/debian/changelog starts '${_changelog_top}': add an entry for ${PROJECT_VERSION}")
  endif()
  find_program(TALLIX_GZIP gzip REQUIRED)
  set(_gzipped "")
  foreach(file man/tallix.1 debian/changelog)
    get_filename_component(_name "${file}" NAME)
    set(_copy "${PROJECT_BINARY_DIR}/share/gzipped/${_name}")
    add_custom_command(OUTPUT "${_copy}.gz"
        COMMAND ${CMAKE_COMMAND} -E copy "${PROJECT_SOURCE_DIR}/resources/${file}" "${_copy}"
        COMMAND "${TALLIX_GZIP}" -9nf "${_copy}"
        DEPENDS "${PROJECT_SOURCE_DIR}/resources/${file}"
        VERBATIM)
    list(APPEND _gzipped "${_copy}.gz")
  endforeach()
  add_custom_target(tallix_gzipped_docs ALL DEPENDS ${_gzipped})
  install(FILES "${PROJECT_BINARY_DIR}/share/gzipped/tallix.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES resources/debian/copyright "${PROJECT_BINARY_DIR}/share/gzipped/changelog.gz"
      DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tallix")
  unset(_gzipped)
  unset(_copy)
  unset(_name)
  unset(_changelog_top)
endif()

# Packages: `cpack -G DEB` in the build folder makes tallix_<version>_<arch>.deb.

set(CPACK_PACKAGE_NAME "tallix")
set(CPACK_PACKAGE_VENDOR "The Tallix developers")
set(CPACK_PACKAGE_CONTACT "The Tallix developers <tallix@users.noreply.github.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TALLIX_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pocket calculator with a one-number memory")
# The package's long description, one paragraph; CPack indents its lines for the control file.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Tallix is a small desktop calculator: a pocket-calculator keypad under a"
    "one-line display. It has the four arithmetic operations and powers, carried"
    "out at once from left to right, square and square root, and a one-number"
    "memory that survives restarts. Beside it stand an options window, a welcome"
    "window and an experience calculator for the game RuneScape.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Tallix")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME "tallix")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "math")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Depends comes from the shared libraries that the program links (dpkg-shlibdeps, from dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Arial's metric twin, for the texts laid out for the classic 8-point dialog font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR "DEB")
endif()
# Windows: a folder to unpack anywhere, as a zip and as an installer.
if(WIN32)
  include(cmake/WindowsPackage.cmake)
endif()
include(CPack)
