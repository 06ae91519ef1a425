# Checks that the installed pieces name each other, in the tree `cmake --install` puts in -DSTAGE or in the
# Debian package CPack builds as -DDEB (in a folder of its own: it is wiped), unpacked. The formats are
# the validators', lintian's and the icons test's to check. Every problem is reported, then it fails.
# cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DHOMEPAGE=... -DDESKTOP_ID=... -DAPPSTREAM_ID=... -DICON_NAME=...
#       (-DSTAGE=... | -DCPACK=... -DDEB=...) -P layout.cmake
cmake_minimum_required(VERSION 3.25)

# run(COMMAND...): runs it, failing with its output if it fails; leaves its stdout in `output`.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}):\n${output}\n${error}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

if(STAGE)
  file(REMOVE_RECURSE "${STAGE}")
  run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}")
  set(root "${STAGE}")
else()
  # The package's name (CPack makes it of Package and Version) and Depends; the other fields are lintian's.
  get_filename_component(out_dir "${DEB}" DIRECTORY)
  file(REMOVE_RECURSE "${out_dir}")
  run("${CPACK}" -G DEB -B "${out_dir}" --config "${BUILD_DIR}/CPackConfig.cmake")
  if(NOT EXISTS "${DEB}")
    file(GLOB made "${out_dir}/*.deb")
    message(FATAL_ERROR "no ${DEB}; cpack made: ${made}")
  endif()
  # Depends, from dpkg-shlibdeps: the linked Qt 6 libraries with minimum versions, not Qt Test (tests only).
  run(dpkg-deb --field "${DEB}" Depends)
  foreach(library libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc\\+\\+6)
    if(NOT output MATCHES "(^|, )${library}(t64)? \\(>= [^)]+\\)" OR output MATCHES "libqt6test6")
      message(FATAL_ERROR "${DEB}: Depends is '${output}', expected ${library} with a minimum version and no libqt6test6")
    endif()
  endforeach()
  run(dpkg-deb -x "${DEB}" "${out_dir}/unpacked")
  set(root "${out_dir}/unpacked/usr")
endif()

# Exactly the program, its desktop integration and its documents: no driver, tests or libraries.
set(problems "")
set(desktop "share/applications/${DESKTOP_ID}.desktop")
set(metainfo "share/metainfo/${APPSTREAM_ID}.metainfo.xml")
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
  entry "\nExec=tallix[ \n]" "the desktop entry does not start the installed bin/tallix"
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
  elseif(NOT CMAKE_MATCH_1 STREQUAL "" AND NOT EXISTS "${SOURCE_DIR}/${CMAKE_MATCH_1}") # only <image> has a group
    string(APPEND problems "\n  the metainfo's screenshot ${CMAKE_MATCH_1} is not in the repository")
  endif()
endwhile()
# Apart: a semicolon would split the list above.
if(NOT entry MATCHES "\nCategories=([^\n]*;)?Utility;([^\n]*;)?Calculator;")
  string(APPEND problems "\n  the desktop entry is not in the categories Utility and Calculator")
endif()

if(problems)
  message(FATAL_ERROR "in ${root}:${problems}")
endif()
