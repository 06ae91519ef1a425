# The Windows folder and packages: Tallix.exe beside exactly the DLLs and Qt plugins it loads (Debian
# has no windeployqt), as a portable zip and a per-user NSIS installer (`cpack` in the build folder).
# Included from cmake/Packaging.cmake for Windows builds.

install(TARGETS tallix RUNTIME DESTINATION .)

# Qt: the three libraries the program links, the platform plugin and the native style's plugin. Qt
# finds the plugins in the program's folder. Qt's libraries and Debian's MinGW runtime carry their
# symbols: the folder gets stripped copies, made in the build folder.
set(_deployed "")
function(tallix_deploy file destination)
  if(TARGET ${file})
    get_target_property(file ${file} IMPORTED_LOCATION_RELEASE)
  endif()
  cmake_path(GET file FILENAME name)
  set(copy "${PROJECT_BINARY_DIR}/deploy/${destination}/${name}")
  add_custom_command(OUTPUT "${copy}"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${PROJECT_BINARY_DIR}/deploy/${destination}"
      COMMAND "${CMAKE_STRIP}" --strip-unneeded -o "${copy}" "${file}"
      DEPENDS "${file}" VERBATIM)
  install(FILES "${copy}" DESTINATION ${destination})
  set(_deployed ${_deployed} "${copy}" PARENT_SCOPE)
endfunction()

foreach(module Core Gui Widgets)
  tallix_deploy(Qt6::${module} .)
endforeach()
tallix_deploy(Qt6::QWindowsIntegrationPlugin platforms)
tallix_deploy(Qt6::QWindowsVistaStylePlugin styles)

# MinGW's C++ runtime, which Qt's libraries load too.
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE _dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_dll}")
      message(FATAL_ERROR "The MinGW runtime library ${dll} was not found")
    endif()
    tallix_deploy("${_dll}" .)
  endforeach()
  unset(_dll)
endif()
add_custom_target(tallix_deploy ALL DEPENDS ${_deployed})

set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_PACKAGE_FILE_NAME "Tallix-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Tallix")
set(CPACK_NSIS_PACKAGE_NAME "Tallix")
set(CPACK_NSIS_DISPLAY_NAME "Tallix")
set(CPACK_NSIS_INSTALLED_ICON_NAME "Tallix.exe")
set(CPACK_NSIS_MUI_ICON "${TALLIX_ICON_FILE}")
set(CPACK_NSIS_MUI_UNIICON "${TALLIX_ICON_FILE}")
# The installer's script (NSIS.template.in): per user, no administrator rights.
list(PREPEND CMAKE_MODULE_PATH "${PROJECT_SOURCE_DIR}/cmake/windows")
