# Plays one script through tallix-drive; it must print NAME.expected (beside it) and exit with the status
# of a first line "# status N" (1 for scripts provoking `error:` lines), else 0. Fresh store, offscreen,
# or with PLATFORM=xcb on an Xvfb of its own (on_xvfb.sh): skipped where none can start, failed under CI.
#   cmake -D DRIVE=<tallix-drive> -D SCRIPT=<NAME.drive> -D WORK_DIR=<scratch folder> [-D PLATFORM=xcb]
#         -P run_script.cmake
if(NOT PLATFORM)
  set(PLATFORM offscreen)
endif()
get_filename_component(name "${SCRIPT}" NAME_WE)
string(REGEX REPLACE "[.]drive$" ".expected" expected_file "${SCRIPT}")
file(READ "${expected_file}" expected)
file(READ "${SCRIPT}" head LIMIT 100)
set(expected_status 0)
if(head MATCHES "^# status ([0-9]+)")
  set(expected_status ${CMAKE_MATCH_1})
endif()

set(run "${WORK_DIR}/${name}.${PLATFORM}")
set(ENV{XDG_CONFIG_HOME} "${run}.config")
file(REMOVE_RECURSE "$ENV{XDG_CONFIG_HOME}")
file(MAKE_DIRECTORY "$ENV{XDG_CONFIG_HOME}")
set(ENV{QT_QPA_PLATFORM} ${PLATFORM})
set(command "${DRIVE}")
if(PLATFORM STREQUAL "xcb")
  set(command sh "${CMAKE_CURRENT_LIST_DIR}/on_xvfb.sh" "${DRIVE}")
endif()
execute_process(COMMAND ${command} INPUT_FILE "${SCRIPT}"
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(PLATFORM STREQUAL "xcb" AND status STREQUAL "77")
  if("$ENV{CI}" STREQUAL "true" OR "$ENV{TALLIX_CI}" STREQUAL "1")
    message(FATAL_ERROR "${name} under xcb: ${actual}")
  endif()
  message("skipped, no X server: ${actual}")
elseif(NOT actual STREQUAL expected OR NOT status STREQUAL expected_status)
  file(WRITE "${run}.actual" "${actual}")
  execute_process(COMMAND diff -u "${expected_file}" "${run}.actual" OUTPUT_VARIABLE difference)
  message(FATAL_ERROR "${name} under ${PLATFORM}: exit status ${status} (expected ${expected_status}), "
                      "output (- expected, + actual):\n${difference}standard error:\n${errors}")
endif()
