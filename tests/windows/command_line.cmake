# Runs the program's own options where no display is set at all: each prints its answer and exits 0,
# without trying a display. cmake -DPROGRAM=<tallix> -DVERSION=<project version> -P command_line.cmake
foreach(variable DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE)
  unset(ENV{${variable}})
endforeach()

# option | what standard output must start with
set(cases "--version|tallix ${VERSION}\n" "-v|tallix ${VERSION}\n" "--help|Usage: tallix " "-h|Usage: tallix ")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(GET case 0 option)
  list(GET case 1 start)
  execute_process(COMMAND "${PROGRAM}" ${option} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 20)
  string(FIND "${out}" "${start}" at)
  if(NOT status STREQUAL "0" OR NOT at EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "tallix ${option}: status '${status}', stdout '${out}', stderr '${err}'; expected status 0 "
                        "and stdout starting '${start}'")
  endif()
endforeach()
