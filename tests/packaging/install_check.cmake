# cmake -DBUILD_DIR=... -DSTAGE=... (and the variables of layout.cmake) -P install_check.cmake
# Installs the build into an empty staging folder with `cmake --install` and checks what arrived.
cmake_minimum_required(VERSION 3.25)
include("${CMAKE_CURRENT_LIST_DIR}/layout.cmake")

file(REMOVE_RECURSE "${STAGE}")
run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}")
tallix_check_layout("${STAGE}")
