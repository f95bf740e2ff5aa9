# Everything that makes Vantrel a desktop application beyond the program:
# the files the desktop reads (.desktop file, AppStream metainfo, file type,
# icons, manual pages), the Debian package, the target that draws the pictures,
# and tests that check what gets installed. Included from the top folder.

set(vantrel_dist ${CMAKE_SOURCE_DIR}/dist)
set(vantrel_resources ${CMAKE_SOURCE_DIR}/resources)
set(vantrel_icon_sizes 16 24 32 48 64 128 256)

# The version and its date (version "YYYY.MM.DD" is released on YYYY-MM-DD)
# go into the manual pages and the metainfo from project(VERSION).
string(REPLACE "." "-" VANTREL_RELEASE_DATE "${PROJECT_VERSION}")
set(vantrel_generated ${CMAKE_BINARY_DIR}/dist)
configure_file(${vantrel_dist}/${VANTREL_APP_ID}.metainfo.xml.in ${vantrel_generated}/${VANTREL_APP_ID}.metainfo.xml @ONLY)
configure_file(${vantrel_dist}/vantrel.1.in ${vantrel_generated}/vantrel.1 @ONLY)
configure_file(${vantrel_dist}/vantrel-cli.1.in ${vantrel_generated}/vantrel-cli.1.in @ONLY)
# vantrel-cli's synopsis comes from the commands' declarations (cli/).
add_custom_command(OUTPUT ${vantrel_generated}/vantrel-cli.1
  COMMAND vantrel_cli_man_page ${vantrel_generated}/vantrel-cli.1.in ${vantrel_generated}/vantrel-cli.1
  DEPENDS ${vantrel_generated}/vantrel-cli.1.in vantrel_cli_man_page
  COMMENT "Writing the manual page vantrel-cli.1"
  VERBATIM)

# ---- Pictures and icons -----------------------------------------------------

# The pictures and icons in resources/ are drawn by make_pictures (tools/);
# after changing it, `cmake --build BUILD --target pictures` draws them anew.
add_custom_target(pictures
  COMMAND make_pictures ${vantrel_resources}
  COMMENT "Drawing the pictures and icons into resources/"
  VERBATIM)

# ---- Installed files ------------------------------------------------------

install(FILES ${vantrel_dist}/${VANTREL_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vantrel_generated}/${VANTREL_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${vantrel_dist}/${VANTREL_APP_ID}.mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME ${VANTREL_APP_ID}.xml)
foreach(size IN LISTS vantrel_icon_sizes)
  install(FILES ${vantrel_resources}/vantrel-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${VANTREL_APP_ID}.png)
endforeach()

# Manual pages, compressed as Debian installs them.
set(vantrel_man_pages vantrel.1 vantrel-cli.1)
set(vantrel_man_outputs)
foreach(page IN LISTS vantrel_man_pages)
  set(out ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9 -n -c \"$0\" > \"$1\"" ${vantrel_generated}/${page} ${out}
    DEPENDS ${vantrel_generated}/${page}
    COMMENT "Compressing the manual page ${page}"
    VERBATIM)
  list(APPEND vantrel_man_outputs ${out})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${vantrel_man_outputs})
install(FILES ${vantrel_man_outputs} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# ---- Debian package: cpack -G DEB -----------------------------------------

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Mira Solen")
set(CPACK_PACKAGE_CONTACT "Mira Solen <mira.solen@vantrel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show, check and log the scores of X-Wing Alliance pilot files")
set(CPACK_PACKAGE_DESCRIPTION
  "Vantrel opens the pilot files of the game X-Wing Alliance, shows the pilot's\n"
  "scores, missions and statistics, checks the file's score copies against each\n"
  "other and collects one score entry per pilot in a main log. It can change a\n"
  "pilot's name, rank, rating and active mission in place. vantrel-cli prints\n"
  "the same reports and entries in a terminal.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vantrel.github.io/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, fonts-liberation")
include(CPack)

# ---- Checks of the installed files ----------------------------------------
# Each check is skipped (exit status 77) when its tool is not installed.

if(BUILD_TESTING)
  set(vantrel_staging ${CMAKE_BINARY_DIR}/staging)
  add_test(NAME desktop_install_staged
    COMMAND sh ${vantrel_dist}/check_install.sh stage ${CMAKE_BINARY_DIR} ${vantrel_staging} ${VANTREL_APP_ID})
  set_tests_properties(desktop_install_staged PROPERTIES FIXTURES_SETUP vantrel_staged)

  add_test(NAME desktop_file_validate
    COMMAND sh ${vantrel_dist}/check_install.sh desktop-file ${vantrel_staging} ${VANTREL_APP_ID})
  add_test(NAME desktop_appstream_validate
    COMMAND sh ${vantrel_dist}/check_install.sh appstream ${vantrel_staging} ${VANTREL_APP_ID})
  add_test(NAME desktop_mime_type
    COMMAND sh ${vantrel_dist}/check_install.sh mime ${vantrel_staging} ${VANTREL_APP_ID})
  add_test(NAME desktop_man_pages
    COMMAND sh ${vantrel_dist}/check_install.sh man ${vantrel_staging} ${VANTREL_APP_ID})
  set_tests_properties(desktop_file_validate desktop_appstream_validate desktop_mime_type desktop_man_pages
    PROPERTIES FIXTURES_REQUIRED vantrel_staged)

  add_test(NAME desktop_deb_package
    COMMAND sh ${vantrel_dist}/check_install.sh deb ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/deb-check ${VANTREL_APP_ID})
  # Packaging installs the whole build once more; keep it off the staging test's toes.
  set_tests_properties(desktop_deb_package PROPERTIES RESOURCE_LOCK vantrel_install TIMEOUT 600)
  set_tests_properties(desktop_install_staged PROPERTIES RESOURCE_LOCK vantrel_install)

  set_tests_properties(desktop_install_staged desktop_file_validate desktop_appstream_validate
    desktop_mime_type desktop_man_pages desktop_deb_package
    PROPERTIES SKIP_RETURN_CODE 77 LABELS desktop)
endif()
