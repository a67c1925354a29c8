# Install rules of the desktop version (included at the end of the configuration), and
# its Debian package (cpack, or `make package`).
#
#   <prefix>/bin/vorra-desktop                 the spreadsheet host
#   <prefix>/bin/Quorlaunch, Mouldsafe         links to the programs in the add-in folder
#   <prefix>/<libdir>/vorra/libvorra.so        the add-in (installed by addin/)
#   <prefix>/<libdir>/vorra/Quorlaunch         the launcher
#   <prefix>/<libdir>/vorra/Mouldsafe          the backup tool
#   <prefix>/<libdir>/vorra/host-path          the host program, relative to this folder
#   <prefix>/<libdir>/vorra/data-path          the shipped data, relative to this folder;
#                                              it marks the folder as installed
#   <prefix>/share/vorra/templates/示例模板.xlsx the sample template, every user's first
#   <prefix>/share/vorra/套打模板/              templates given to every user (empty)
#   <prefix>/share/applications/*.desktop      menu entries; the spreadsheet's opens
#                                              .xlsx and .xls workbooks
#   <prefix>/share/icons/hicolor/scalable/apps the programs' icons
#   <prefix>/share/man/man1                    a manual page per program
#
# The installed add-in folder is not where the cashier's data goes: each user gets an
# add-in folder of their own, $XDG_DATA_HOME/vorra, made and filled from share/vorra on
# first use (platform/desktop/app/UserFolder.h). So a system install (the Debian
# package, prefix /usr) and a user install (--prefix ~/.local) work alike.
#
# Every file is installed by install(TARGETS|FILES), so that install_manifest.txt lists
# all of them and an uninstaller can remove exactly those. What is not built is made in
# the build tree first, under desktop-install/: the path files and the links at
# configuration, the menu entries at installation, because they name the programs by
# their absolute paths and the prefix can still change then (cmake --install --prefix).
set(VORRA_ADDIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vorra)
set(VORRA_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/vorra)
set(VORRA_DESKTOP_SHARE ${CMAKE_CURRENT_LIST_DIR}/share)
set(VORRA_INSTALL_STAGE ${PROJECT_BINARY_DIR}/desktop-install)

install(TARGETS vorra-desktop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The launcher starts the program host-path names; the programs find the shipped data
# through data-path. Both relative to the add-in folder.
file(RELATIVE_PATH VORRA_HOST_PATH /prefix/${VORRA_ADDIN_INSTALL_DIR} /prefix/${CMAKE_INSTALL_BINDIR}/vorra-desktop)
file(RELATIVE_PATH VORRA_DATA_PATH /prefix/${VORRA_ADDIN_INSTALL_DIR} /prefix/${VORRA_DATA_INSTALL_DIR})
file(CONFIGURE OUTPUT ${VORRA_INSTALL_STAGE}/host-path CONTENT "${VORRA_HOST_PATH}\n")
file(CONFIGURE OUTPUT ${VORRA_INSTALL_STAGE}/data-path CONTENT "${VORRA_DATA_PATH}\n")
install(FILES ${VORRA_INSTALL_STAGE}/host-path ${VORRA_INSTALL_STAGE}/data-path
  DESTINATION ${VORRA_ADDIN_INSTALL_DIR})

# The programs in the add-in folder, linked from bin by relative links.
file(RELATIVE_PATH VORRA_BIN_TO_ADDIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VORRA_ADDIN_INSTALL_DIR})
foreach(program IN ITEMS Quorlaunch Mouldsafe)
  install(TARGETS ${program} RUNTIME DESTINATION ${VORRA_ADDIN_INSTALL_DIR})
  file(MAKE_DIRECTORY ${VORRA_INSTALL_STAGE}/bin)
  file(CREATE_LINK ${VORRA_BIN_TO_ADDIN}/${program} ${VORRA_INSTALL_STAGE}/bin/${program} SYMBOLIC)
  install(FILES ${VORRA_INSTALL_STAGE}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# The sample template, built by the tools' template builder.
set(VORRA_SAMPLE_TEMPLATE ${VORRA_INSTALL_STAGE}/templates/示例模板.xlsx)
add_custom_command(OUTPUT ${VORRA_SAMPLE_TEMPLATE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VORRA_INSTALL_STAGE}/templates
  COMMAND make-sample-template ${VORRA_SAMPLE_TEMPLATE} > /dev/null
  DEPENDS make-sample-template
  COMMENT "Building the sample template")
add_custom_target(vorra_sample_template_file ALL DEPENDS ${VORRA_SAMPLE_TEMPLATE})
install(FILES ${VORRA_SAMPLE_TEMPLATE} DESTINATION ${VORRA_DATA_INSTALL_DIR}/templates)
# The template folder; the add-in finds it in its folder, the user's copy of this one.
install(DIRECTORY DESTINATION ${VORRA_DATA_INSTALL_DIR}/套打模板)

# The menu entries start the programs by their absolute paths, under the prefix the
# installation uses.
set(VORRA_DESKTOP_ENTRIES vorra-quorlaunch vorra-mouldsafe vorra-desktop)
install(CODE "
  foreach(entry ${VORRA_DESKTOP_ENTRIES})
    file(READ \"${VORRA_DESKTOP_SHARE}/\${entry}.desktop.in\" text)
    string(REPLACE \"@ADDIN_DIR@\" \"\${CMAKE_INSTALL_PREFIX}/${VORRA_ADDIN_INSTALL_DIR}\" text \"\${text}\")
    string(REPLACE \"@BIN_DIR@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\" text \"\${text}\")
    file(WRITE \"${VORRA_INSTALL_STAGE}/applications/\${entry}.desktop\" \"\${text}\")
  endforeach()
")
foreach(entry IN LISTS VORRA_DESKTOP_ENTRIES)
  install(FILES ${VORRA_INSTALL_STAGE}/applications/${entry}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()
install(FILES ${VORRA_DESKTOP_SHARE}/icons/vorra-desktop.svg ${VORRA_DESKTOP_SHARE}/icons/vorra-quorlaunch.svg
              ${VORRA_DESKTOP_SHARE}/icons/vorra-mouldsafe.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VORRA_DESKTOP_SHARE}/man/vorra-desktop.1 ${VORRA_DESKTOP_SHARE}/man/Quorlaunch.1
              ${VORRA_DESKTOP_SHARE}/man/Mouldsafe.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The Debian package: the same installation under /usr. Its dependencies on shared
# libraries are worked out by dpkg-shlibdeps; the Chinese font is needed at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorra)
set(CPACK_PACKAGE_VENDOR "Vorra")
set(CPACK_PACKAGE_CONTACT "Vorra developers <vorra@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fills in and prints Chinese bank forms from spreadsheet templates")
set(CPACK_PACKAGE_DESCRIPTION "A spreadsheet window with the Vorra add-in, which fills in cheques, deposit
slips and other bank forms from its address books and prints them onto pre-printed
paper, with a running cheque number and a print record; the launcher Quorlaunch and
the template backup tool Mouldsafe.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, adwaita-icon-theme")
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_STRIP_FILES ON)
include(CPack)
