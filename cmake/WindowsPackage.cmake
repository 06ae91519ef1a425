# The Windows folder and packages: Tallix.exe beside exactly the DLLs and Qt plugins it loads (Debian
# has no windeployqt), as a portable zip and a per-user NSIS installer (`cpack` in the build folder).
# Included from cmake/Packaging.cmake for Windows builds.

install(TARGETS tallix RUNTIME DESTINATION .)

# Qt: the three libraries the program links, the platform plugin and the native style's plugin. Qt
# finds the plugins in the program's folder.
foreach(module Core Gui Widgets)
  install(FILES $<TARGET_FILE:Qt6::${module}> DESTINATION .)
endforeach()
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)

# MinGW's C++ runtime, which Qt's libraries load too.
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE _dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${_dll}")
      message(FATAL_ERROR "The MinGW runtime library ${dll} was not found")
    endif()
    install(FILES "${_dll}" DESTINATION .)
  endforeach()
  unset(_dll)
endif()

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
