# The program where no display can be opened: its own options answer on standard output with status 0,
# without trying one; a run names the problem in one line, status 1, no abort.
# cmake -DPROGRAM=<tallix> -DVERSION=<project version> -P command_line.cmake
cmake_minimum_required(VERSION 3.25)
unset(ENV{WAYLAND_DISPLAY})
set(ENV{DISPLAY} ":4093")
set(ENV{QT_QPA_PLATFORM} "xcb")
# option | status | what standard output starts with | standard error
set(cases "--version|0|tallix ${VERSION}\n|" "-v|0|tallix ${VERSION}\n|" "--help|0|Usage: tallix |"
    "-h|0|Usage: tallix |" "|1||tallix: cannot open a display: could not connect to display :4093\n")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" case "${case}")
  list(POP_FRONT case option status start err_expected)
  execute_process(COMMAND "${PROGRAM}" ${option} RESULT_VARIABLE got OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 20)
  string(FIND "${out}" "${start}" at)
  if(NOT got STREQUAL status OR NOT at EQUAL 0 OR NOT err STREQUAL err_expected)
    message(FATAL_ERROR "tallix ${option}: status '${got}', stdout '${out}', stderr '${err}'; expected "
                        "status ${status}, stdout starting '${start}', stderr '${err_expected}'")
  endif()
endforeach()
