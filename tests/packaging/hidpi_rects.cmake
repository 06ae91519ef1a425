# cmake -DDRIVE=<tallix-drive> -DWORK=<folder> -P hidpi_rects.cmake
# Runs the automation driver twice, plain and with QT_SCALE_FACTOR=2, and prints the rectangles of a
# sample of controls: a scale factor enlarges what is drawn, never the layout in logical pixels.

cmake_minimum_required(VERSION 3.25)

set(controls Screen Mult Num7 OptButton RsCalc Picture1)
list(TRANSFORM controls APPEND ".Rect" OUTPUT_VARIABLE queries)
list(JOIN queries " " query_line)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/rects.drive" "start\nprint ${query_line}\n")

foreach(run plain scaled)
  if(run STREQUAL "plain")
    set(scale --unset=QT_SCALE_FACTOR)
  else()
    set(scale QT_SCALE_FACTOR=2)
  endif()
  file(MAKE_DIRECTORY "${WORK}/${run}.config") # an empty settings store: a first run
  execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env ${scale} --unset=QT_SCREEN_SCALE_FACTORS QT_QPA_PLATFORM=offscreen
              "XDG_CONFIG_HOME=${WORK}/${run}.config" "${DRIVE}"
      INPUT_FILE "${WORK}/rects.drive"
      RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  message(STATUS "${run}:\n${output}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "tallix-drive (${run}) exited with ${result}:\n${output}${errors}")
  endif()
  # One line per control, in the order asked: NAME.Rect=left,top,width,height with a positive size.
  set(pattern "")
  foreach(query ${queries})
    string(APPEND pattern "${query}=-?[0-9]+,-?[0-9]+,[1-9][0-9]*,[1-9][0-9]*\n")
  endforeach()
  if(NOT output MATCHES "^${pattern}$")
    message(FATAL_ERROR "tallix-drive (${run}) printed something other than the ${queries}:\n${output}")
  endif()
  set(rects_${run} "${output}")
endforeach()

if(NOT rects_plain STREQUAL rects_scaled)
  message(FATAL_ERROR "the rectangles change with QT_SCALE_FACTOR=2:\nplain:\n${rects_plain}scaled:\n${rects_scaled}")
endif()
