# Plays one end-to-end script through tallix-drive and checks what it prints and how it exits:
#   cmake -D DRIVE=<tallix-drive> -D SCRIPT=<NAME.drive> -D WORK_DIR=<scratch folder> -P run_script.cmake
# It must print NAME.expected, beside the script. A first line "# status N" gives the exit status that
# the script must end with (scripts that provoke `error:` lines end with 1); without it, 0. Every run
# gets a fresh, empty settings store of its own and draws offscreen.
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
