# Plays one script through tallix-drive; it must print NAME.expected (beside it) and exit with the status
# of a first line "# status N" (1 for scripts provoking `error:` lines), else 0. Fresh store, offscreen.
#   cmake -D DRIVE=<tallix-drive> -D SCRIPT=<NAME.drive> -D WORK_DIR=<scratch folder> -P run_script.cmake
get_filename_component(name "${SCRIPT}" NAME_WE)
string(REGEX REPLACE "[.]drive$" ".expected" expected_file "${SCRIPT}")
file(READ "${expected_file}" expected)
file(READ "${SCRIPT}" head LIMIT 100)
set(expected_status 0)
if(head MATCHES "^# status ([0-9]+)")
  set(expected_status ${CMAKE_MATCH_1})
endif()

set(ENV{XDG_CONFIG_HOME} "${WORK_DIR}/${name}.config")
file(REMOVE_RECURSE "$ENV{XDG_CONFIG_HOME}")
file(MAKE_DIRECTORY "$ENV{XDG_CONFIG_HOME}")
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND "${DRIVE}" INPUT_FILE "${SCRIPT}"
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)

set(problems "")
if(NOT actual STREQUAL expected)
  set(actual_file "${WORK_DIR}/${name}.actual")
  file(WRITE "${actual_file}" "${actual}")
  execute_process(COMMAND diff -u "${expected_file}" "${actual_file}" OUTPUT_VARIABLE difference)
  string(APPEND problems "output differs from ${name}.expected (- expected, + actual):\n${difference}")
endif()
if(NOT status STREQUAL expected_status)
  string(APPEND problems "exit status ${status}, expected ${expected_status}\n")
endif()
if(problems)
  message("${name}: ${problems}standard error of tallix-drive:\n${errors}")
  message(FATAL_ERROR "${name} failed")
endif()
