# cmake -DCPACK=... -DBUILD_DIR=... -DOUT_DIR=... -DVERSION=... (and the variables of layout.cmake) -P deb_check.cmake
# Builds the Debian package with CPack into OUT_DIR and checks its name (CPack makes it of the Package
# and Version fields), its dependencies and, unpacked with dpkg-deb, its files. The other fields' forms,
# and where the files lie, are lintian's to check.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/layout.cmake")

file(REMOVE_RECURSE "${OUT_DIR}")
run("${CPACK}" -G DEB -B "${OUT_DIR}" --config "${BUILD_DIR}/CPackConfig.cmake")
run(dpkg --print-architecture)
set(deb "${OUT_DIR}/tallix_${VERSION}_${output}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${OUT_DIR}/*.deb")
  message(FATAL_ERROR "no ${deb}; cpack made: ${made}")
endif()

# Depends, from dpkg-shlibdeps: the Qt 6 libraries the program links, with minimum versions, and not
# the Qt Test library, which only the tests use.
run(dpkg-deb --field "${deb}" Depends)
foreach(library libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc\\+\\+6)
  if(NOT output MATCHES "(^|, )${library}(t64)? \\(>= [^)]+\\)" OR output MATCHES "libqt6test6")
    message(FATAL_ERROR "${deb}: Depends is '${output}', expected ${library} with a minimum version and no libqt6test6")
  endif()
endforeach()
message(STATUS "Depends: ${output}")

run(dpkg-deb -x "${deb}" "${OUT_DIR}/unpacked")
tallix_check_layout("${OUT_DIR}/unpacked/usr")
