# What the Windows build installs: the programs, the DLLs they load and
# nothing else, Qt's plugins in their own folders, the notices. It is what a
# Windows user downloads: dist/windows/package.sh packs this folder as the
# portable zip and as the installer.
install(FILES ${PROJECT_SOURCE_DIR}/dist/windows/README.txt DESTINATION .)
# .txt, so that a double click opens them in a text editor.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

if(VANTREL_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/dist/windows/QT-LICENSE.txt DESTINATION .)
  # The texts the Qt notice refers to: the LGPL and the GPL it builds on.
  install(FILES /usr/share/common-licenses/LGPL-3 DESTINATION . RENAME LGPL-3.0.txt)
  install(FILES /usr/share/common-licenses/GPL-3 DESTINATION . RENAME GPL-3.0.txt)
  # The platform plugin Qt needs to show a window, and the native style.
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
  install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
  set(vantrel_runtime_modules
    "\${CMAKE_INSTALL_PREFIX}/platforms/$<TARGET_FILE_NAME:Qt6::QWindowsIntegrationPlugin>"
    "\${CMAKE_INSTALL_PREFIX}/styles/$<TARGET_FILE_NAME:Qt6::QWindowsVistaStylePlugin>")
  set(vantrel_runtime_programs "\${CMAKE_INSTALL_PREFIX}/vantrel.exe" "\${CMAKE_INSTALL_PREFIX}/vantrel-cli.exe")
  set(vantrel_dll_dirs "$<TARGET_FILE_DIR:Qt6::Core>" ${VANTREL_MINGW_RUNTIME_DIRS})
else()
  set(vantrel_runtime_modules "")
  set(vantrel_runtime_programs "\${CMAKE_INSTALL_PREFIX}/vantrel-cli.exe")
  set(vantrel_dll_dirs ${VANTREL_MINGW_RUNTIME_DIRS})
endif()

# The DLLs the programs and plugins load, found by reading their imports
# (and those of each DLL found), copied beside the programs and stripped.
# Windows' own DLLs are not in these folders and stay unresolved.
find_program(VANTREL_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
find_program(VANTREL_MINGW_STRIP x86_64-w64-mingw32-strip REQUIRED)
install(CODE "
  # CMake takes Windows' DLL names in lower case, as Windows matches them;
  # the folders are searched through links named so.
  set(names \"${CMAKE_BINARY_DIR}/dll-names\")
  file(REMOVE_RECURSE \"\${names}\")
  file(MAKE_DIRECTORY \"\${names}\")
  foreach(dir ${vantrel_dll_dirs})
    file(GLOB dlls \"\${dir}/*.dll\")
    foreach(dll IN LISTS dlls)
      get_filename_component(name \"\${dll}\" NAME)
      string(TOLOWER \"\${name}\" lower)
      if(NOT EXISTS \"\${names}/\${lower}\")
        file(CREATE_LINK \"\${dll}\" \"\${names}/\${lower}\" SYMBOLIC)
      endif()
    endforeach()
  endforeach()
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND \"${VANTREL_MINGW_OBJDUMP}\")
  file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${vantrel_runtime_programs}
    MODULES ${vantrel_runtime_modules}
    DIRECTORIES \"\${names}\"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR windows_own)
  foreach(link IN LISTS found)
    file(REAL_PATH \"\${link}\" dll)
    get_filename_component(name \"\${dll}\" NAME)
    message(STATUS \"Runtime DLL: \${name}\")
    file(COPY_FILE \"\${dll}\" \"\${CMAKE_INSTALL_PREFIX}/\${name}\")
    execute_process(COMMAND \"${VANTREL_MINGW_STRIP}\" --strip-unneeded \"\${CMAKE_INSTALL_PREFIX}/\${name}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
")
