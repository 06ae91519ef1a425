# cmake -DCPACK=... -DBUILD_DIR=... -DOUT_DIR=... -DVERSION=... (and the variables of layout.cmake) -P deb_check.cmake
# Builds the Debian package with CPack into OUT_DIR, unpacks it with dpkg-deb and checks its name,
# its control fields and its files.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/layout.cmake")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error
      OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command} failed (${result}):\n${output}\n${error}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${OUT_DIR}")
file(MAKE_DIRECTORY "${OUT_DIR}")
run("${CPACK}" -G DEB -B "${OUT_DIR}" --config "${BUILD_DIR}/CPackConfig.cmake")

run(dpkg --print-architecture)
set(deb "${OUT_DIR}/tallix_${VERSION}_${output}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${OUT_DIR}/*.deb")
  message(FATAL_ERROR "no ${deb}; cpack made: ${made}")
endif()
file(SIZE "${deb}" size)

set(problems "")
function(expect_field field pattern)
  run(dpkg-deb --field "${deb}" ${field})
  if(NOT output MATCHES "${pattern}")
    set(problems "${problems}\n  ${field} is '${output}', expected to match '${pattern}'" PARENT_SCOPE)
  endif()
endfunction()
expect_field(Package "^tallix$")
expect_field(Version "^${VERSION}$")
# The other fields' forms, and where the files lie, are lintian's to check.
# Depends, from dpkg-shlibdeps: the Qt 6 libraries the program links, with minimum versions.
foreach(library libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc\\+\\+6)
  expect_field(Depends "(^|, )${library}(t64)? \\(>= [^)]+\\)")
endforeach()
run(dpkg-deb --field "${deb}" Depends)
set(depends "${output}")
if(depends MATCHES "libqt6test6")
  string(APPEND problems "\n  Depends names the Qt Test library, which only the tests use: ${depends}")
endif()

set(unpacked "${OUT_DIR}/unpacked")
run(dpkg-deb -x "${deb}" "${unpacked}")
if(problems)
  message(FATAL_ERROR "${deb}:${problems}")
endif()
tallix_check_layout("${unpacked}/usr")

get_filename_component(name "${deb}" NAME)
message(STATUS "${name}: ${size} bytes\nDepends: ${depends}")
