# Shared by install_check.cmake and deb_check.cmake.

# run(COMMAND...): runs a command, stopping with its output when it fails; its standard output is left
# in `output`.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}):\n${output}\n${error}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# tallix_check_layout(ROOT): checks an installed tree (an install prefix, or usr/ of an unpacked
# package) file by file. Needs HOMEPAGE, SOURCE_DIR, DESKTOP_ID, APPSTREAM_ID and ICON_NAME set.
# Every problem is reported; the script stops with an error at the end if there was any. The formats
# themselves are checked by desktop-file-validate, appstreamcli, lintian and the icons test; this checks
# that the pieces name each other.
function(tallix_check_layout root)
  set(problems "")
  set(desktop "share/applications/${DESKTOP_ID}.desktop")
  set(metainfo "share/metainfo/${APPSTREAM_ID}.metainfo.xml")
  # Exactly these files: the program, its desktop integration and its documents; no driver, no tests,
  # no libraries.
  set(expected
      "bin/tallix" "${desktop}" "${metainfo}"
      "share/icons/hicolor/24x24/apps/${ICON_NAME}.png" "share/icons/hicolor/48x48/apps/${ICON_NAME}.png"
      "share/man/man1/tallix.1.gz" "share/doc/tallix/copyright" "share/doc/tallix/changelog.gz")
  file(GLOB_RECURSE installed RELATIVE "${root}" LIST_DIRECTORIES false "${root}/*")
  list(SORT installed)
  list(SORT expected)
  if(NOT installed STREQUAL expected)
    string(APPEND problems "\n  installed files are ${installed}\n  expected ${expected}")
  endif()

  # The desktop entry starts the installed program and names the installed icon; the metainfo launches
  # that entry, provides the program and points at the homepage. Each check: a pattern, then the problem.
  file(READ "${root}/${desktop}" entry)
  file(READ "${root}/${metainfo}" xml)
  string(REPLACE "https://github.com/" "https://raw.githubusercontent.com/" raw "${HOMEPAGE}/main/")
  set(checks
    entry "\nName=Tallix\n" "the desktop entry's Name is not Tallix"
    entry "\nExec=tallix( |\n)" "the desktop entry does not start the installed bin/tallix"
    entry "\nIcon=${ICON_NAME}\n" "the desktop entry's Icon is not the theme icon ${ICON_NAME}"
    xml "<id>${APPSTREAM_ID}</id>" "the metainfo's id is not ${APPSTREAM_ID}"
    xml "<launchable type=\"desktop-id\">${DESKTOP_ID}\\.desktop</launchable>" "the metainfo launches another entry"
    xml "<binary>tallix</binary>" "the metainfo does not provide the binary tallix"
    xml "<url type=\"homepage\">${HOMEPAGE}</url>" "the metainfo's homepage is not ${HOMEPAGE}"
    xml "<image>${raw}([^<]*)</image>" "the metainfo's screenshot is not under ${raw}")
  while(checks)
    list(POP_FRONT checks text pattern message)
    if(NOT "${${text}}" MATCHES "${pattern}")
      string(APPEND problems "\n  ${message}")
    elseif(text STREQUAL "xml" AND pattern MATCHES "<image>" AND NOT EXISTS "${SOURCE_DIR}/${CMAKE_MATCH_1}")
      string(APPEND problems "\n  the metainfo's screenshot ${CMAKE_MATCH_1} is not in the repository")
    endif()
  endwhile()

  # Apart: a pattern with a semicolon would split the list above.
  if(NOT entry MATCHES "\nCategories=([^\n]*;)?Utility;([^\n]*;)?Calculator;")
    string(APPEND problems "\n  the desktop entry is not in the categories Utility and Calculator")
  endif()

  if(problems)
    message(FATAL_ERROR "in ${root}:${problems}")
  endif()
endfunction()
