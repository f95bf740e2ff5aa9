# cpack -G ZIP in the Windows build: vantrel-cli-<version>-win64.zip with the
# program, a short README and the licence.
install(FILES ${PROJECT_SOURCE_DIR}/dist/windows/README.txt DESTINATION .)
# LICENSE.txt, so that a double click opens it in a text editor.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vantrel-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_FILE_NAME vantrel-cli-${PROJECT_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
