# Runs the program where no display can be opened: one line naming the problem, status 1, no abort.
# cmake -DPROGRAM=<tallix> -P no_display.cmake
set(ENV{DISPLAY} ":4093")
unset(ENV{WAYLAND_DISPLAY})
set(ENV{QT_QPA_PLATFORM} "xcb")
execute_process(COMMAND "${PROGRAM}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
set(expected "tallix: cannot open a display: could not connect to display :4093\n")
if(NOT status STREQUAL "1" OR NOT err STREQUAL expected OR NOT out STREQUAL "")
    message(FATAL_ERROR "status '${status}', stdout '${out}', stderr '${err}'; expected status 1 and stderr '${expected}'")
endif()
