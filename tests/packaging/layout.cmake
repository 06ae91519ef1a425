# tallix_check_layout(ROOT): checks an installed tree (an install prefix, or usr/ of an unpacked
# package) file by file. Needs HOMEPAGE, SOURCE_DIR, DESKTOP_ID, APPSTREAM_ID and ICON_NAME set.
# Every problem is reported; the script stops with an error at the end if there was any.

function(_tallix_png_size path out_width out_height)
  file(READ "${path}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 24 8 chunk)
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT chunk STREQUAL "49484452") # PNG, then IHDR
    set(${out_width} "not a PNG" PARENT_SCOPE)
    set(${out_height} "" PARENT_SCOPE)
    return()
  endif()
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  set(${out_width} ${width} PARENT_SCOPE)
  set(${out_height} ${height} PARENT_SCOPE)
endfunction()

# The value of KEY in the [Desktop Entry] group of a desktop file's text.
function(_tallix_desktop_value text key out)
  if(text MATCHES "(^|\n)${key}=([^\n]*)")
    set(${out} "${CMAKE_MATCH_2}" PARENT_SCOPE)
  else()
    set(${out} "<missing>" PARENT_SCOPE)
  endif()
endfunction()

function(tallix_check_layout root)
  set(problems "")
  set(desktop "share/applications/${DESKTOP_ID}.desktop")
  set(metainfo "share/metainfo/${APPSTREAM_ID}.metainfo.xml")
  set(expected
      "bin/tallix"
      "${desktop}"
      "share/icons/hicolor/24x24/apps/${ICON_NAME}.png"
      "share/icons/hicolor/48x48/apps/${ICON_NAME}.png"
      "${metainfo}"
      "share/man/man1/tallix.1.gz"
      "share/doc/tallix/copyright"
      "share/doc/tallix/changelog.gz")

  # Exactly these files: the program, its desktop integration and its documents; no driver, no tests,
  # no libraries.
  file(GLOB_RECURSE installed RELATIVE "${root}" LIST_DIRECTORIES false "${root}/*")
  list(SORT installed)
  set(sorted_expected ${expected})
  list(SORT sorted_expected)
  if(NOT installed STREQUAL sorted_expected)
    list(JOIN installed "\n      " installed_text)
    list(JOIN sorted_expected "\n      " expected_text)
    string(APPEND problems "\n  installed files are\n      ${installed_text}\n    expected\n      ${expected_text}")
  endif()

  # The program: an ELF executable.
  if(EXISTS "${root}/bin/tallix")
    file(READ "${root}/bin/tallix" magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")
      string(APPEND problems "\n  bin/tallix is not an ELF program")
    endif()
  endif()

  # The desktop entry: starts the installed program and names the installed icon.
  if(EXISTS "${root}/${desktop}")
    file(READ "${root}/${desktop}" entry)
    _tallix_desktop_value("${entry}" "Name" name)
    _tallix_desktop_value("${entry}" "Exec" exec)
    _tallix_desktop_value("${entry}" "Icon" icon)
    _tallix_desktop_value("${entry}" "Categories" categories)
    _tallix_desktop_value("${entry}" "Type" type)
    if(NOT name STREQUAL "Tallix")
      string(APPEND problems "\n  desktop entry: Name is '${name}', not 'Tallix'")
    endif()
    if(NOT type STREQUAL "Application")
      string(APPEND problems "\n  desktop entry: Type is '${type}', not 'Application'")
    endif()
    string(REGEX REPLACE " .*" "" exec_program "${exec}")
    if(NOT exec_program STREQUAL "tallix" OR NOT EXISTS "${root}/bin/${exec_program}")
      string(APPEND problems "\n  desktop entry: Exec '${exec}' does not start the installed bin/tallix")
    endif()
    if(NOT icon STREQUAL ICON_NAME)
      string(APPEND problems "\n  desktop entry: Icon is '${icon}', not the theme icon '${ICON_NAME}'")
    endif()
    if(NOT categories MATCHES "(^|;)Utility;" OR NOT categories MATCHES "(^|;)Calculator;")
      string(APPEND problems "\n  desktop entry: Categories '${categories}' lacks Utility; and Calculator;")
    endif()
  endif()

  # The theme icons: PNG images of their folder's size.
  foreach(size 24 48)
    set(png "${root}/share/icons/hicolor/${size}x${size}/apps/${ICON_NAME}.png")
    if(EXISTS "${png}")
      _tallix_png_size("${png}" width height)
      if(NOT "${width}x${height}" STREQUAL "${size}x${size}")
        string(APPEND problems "\n  ${size}x${size} icon is ${width}x${height}")
      endif()
    endif()
  endforeach()

  # The metainfo: launches the installed desktop entry, provides the program, and points at the
  # homepage and at the committed screenshot under the same address scheme.
  if(EXISTS "${root}/${metainfo}")
    file(READ "${root}/${metainfo}" xml)
    # Each check: a pattern the metainfo must match, then what is wrong when it doesn't.
    set(checks
      "<id>${APPSTREAM_ID}</id>" "the id is not ${APPSTREAM_ID}"
      "<launchable type=\"desktop-id\">${DESKTOP_ID}\\.desktop</launchable>"
          "the launchable is not the installed ${DESKTOP_ID}.desktop"
      "<binary>tallix</binary>" "does not provide the binary tallix"
      "<description>[ \n]*<p>" "no description"
      "<url type=\"homepage\">${HOMEPAGE}</url>" "the homepage is not ${HOMEPAGE}")
    while(checks)
      list(POP_FRONT checks pattern message)
      if(NOT xml MATCHES "${pattern}")
        string(APPEND problems "\n  metainfo: ${message}")
      endif()
    endwhile()
    # https://github.com/OWNER/NAME -> https://raw.githubusercontent.com/OWNER/NAME/main/PATH
    string(REPLACE "https://github.com/" "https://raw.githubusercontent.com/" raw "${HOMEPAGE}/main/")
    if(xml MATCHES "<image>([^<]*)</image>")
      set(image "${CMAKE_MATCH_1}")
      string(FIND "${image}" "${raw}" at)
      if(NOT at EQUAL 0)
        string(APPEND problems "\n  metainfo: the screenshot ${image} is not under ${raw}")
      else()
        string(REPLACE "${raw}" "" image_path "${image}")
        if(NOT EXISTS "${SOURCE_DIR}/${image_path}")
          string(APPEND problems "\n  metainfo: the screenshot ${image_path} is not in the repository")
        else()
          _tallix_png_size("${SOURCE_DIR}/${image_path}" width height)
          if(NOT width MATCHES "^[0-9]+$")
            string(APPEND problems "\n  metainfo: the screenshot ${image_path} is not a PNG image")
          endif()
        endif()
      endif()
    else()
      string(APPEND problems "\n  metainfo: no screenshot image")
    endif()
  endif()

  if(problems)
    message(FATAL_ERROR "in ${root}:${problems}")
  endif()
  message(STATUS "${root}: ${expected}")
endfunction()
