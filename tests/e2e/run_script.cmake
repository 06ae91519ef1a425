# Plays one end-to-end script through tallix-drive and checks what it prints and how it exits.
#
#   cmake -D DRIVE=<path of tallix-drive> -D SCRIPT=<path of NAME.drive> -D WORK_DIR=<scratch folder>
#         -P run_script.cmake
#
# The expected output is NAME.expected beside the script. A first line "# status N" gives the exit
# status that the script must end with (scripts that provoke `error:` lines end with 1); without it, 0.
# Every run gets a fresh, empty settings store of its own and draws offscreen.

foreach(var DRIVE SCRIPT WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_script.cmake needs -D ${var}=...")
  endif()
endforeach()

get_filename_component(name "${SCRIPT}" NAME_WE)
get_filename_component(script_dir "${SCRIPT}" DIRECTORY)
set(expected_file "${script_dir}/${name}.expected")
if(NOT EXISTS "${expected_file}")
  message(FATAL_ERROR "${name}: no expected output ${expected_file}")
endif()

file(READ "${SCRIPT}" head LIMIT 100)
set(expected_status 0)
if(head MATCHES "^# status ([0-9]+)")
  set(expected_status ${CMAKE_MATCH_1})
endif()

set(config_home "${WORK_DIR}/${name}.config")
file(REMOVE_RECURSE "${config_home}")
file(MAKE_DIRECTORY "${config_home}")
set(ENV{XDG_CONFIG_HOME} "${config_home}")
set(ENV{QT_QPA_PLATFORM} "offscreen")

execute_process(
  COMMAND "${DRIVE}"
  INPUT_FILE "${SCRIPT}"
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)

file(READ "${expected_file}" expected)
string(REPLACE "\r\n" "\n" expected "${expected}")
string(REPLACE "\r\n" "\n" actual "${actual}")

set(failed FALSE)
if(NOT actual STREQUAL expected)
  set(failed TRUE)
  set(actual_file "${WORK_DIR}/${name}.actual")
  file(WRITE "${actual_file}" "${actual}")
  find_program(DIFF_PROGRAM diff)
  if(DIFF_PROGRAM)
    execute_process(COMMAND "${DIFF_PROGRAM}" -u "${expected_file}" "${actual_file}" OUTPUT_VARIABLE difference)
    message("${name}: output differs from ${name}.expected (- expected, + actual):\n${difference}")
  else()
    message("${name}: output differs from ${name}.expected\n--- expected\n${expected}--- actual\n${actual}")
  endif()
endif()
if(NOT status STREQUAL "${expected_status}")
  set(failed TRUE)
  message("${name}: exit status ${status}, expected ${expected_status}")
endif()

if(failed)
  if(errors)
    message("${name}: standard error of tallix-drive:\n${errors}")
  endif()
  message(FATAL_ERROR "${name} failed")
endif()
