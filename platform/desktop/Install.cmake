# Install rules of the desktop version (included at the end of the configuration).
#
#   <prefix>/bin/vorra-desktop                 the spreadsheet host
#   <prefix>/<libdir>/vorra/libvorra.so        the add-in (installed by addin/)
#   <prefix>/<libdir>/vorra/Quorlaunch         the launcher: writes its marker here
#   <prefix>/<libdir>/vorra/Mouldsafe          the backup tool: backs up the templates here
#   <prefix>/<libdir>/vorra/host-path          the host program, relative to this folder
#   <prefix>/bin/Quorlaunch, Mouldsafe         links to the programs above
#   <prefix>/share/applications/*.desktop      menu entries
#
# The add-in folder must be writable by the cashier (marker, templates, backups): install
# per user, for example with --prefix "$HOME/.local".
#
# Every file is installed by install(TARGETS|FILES), so that install_manifest.txt lists
# all of them and an uninstaller can remove exactly those. What is not built is made in
# the build tree first, under desktop-install/: the host-path file and the links at
# configuration, the menu entries at installation, because they name the add-in folder
# by its absolute path and the prefix can still change then (cmake --install --prefix).
set(VORRA_ADDIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vorra)
set(VORRA_DESKTOP_SHARE ${CMAKE_CURRENT_LIST_DIR}/share)
set(VORRA_INSTALL_STAGE ${PROJECT_BINARY_DIR}/desktop-install)

install(TARGETS vorra-desktop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The launcher starts the program this file names (relative to the launcher's folder).
file(RELATIVE_PATH VORRA_HOST_PATH /prefix/${VORRA_ADDIN_INSTALL_DIR} /prefix/${CMAKE_INSTALL_BINDIR}/vorra-desktop)
file(CONFIGURE OUTPUT ${VORRA_INSTALL_STAGE}/host-path CONTENT "${VORRA_HOST_PATH}\n")
install(FILES ${VORRA_INSTALL_STAGE}/host-path DESTINATION ${VORRA_ADDIN_INSTALL_DIR})

# The programs in the add-in folder, linked from bin by relative links.
file(RELATIVE_PATH VORRA_BIN_TO_ADDIN /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${VORRA_ADDIN_INSTALL_DIR})
foreach(program IN ITEMS Quorlaunch Mouldsafe)
  install(TARGETS ${program} RUNTIME DESTINATION ${VORRA_ADDIN_INSTALL_DIR})
  file(MAKE_DIRECTORY ${VORRA_INSTALL_STAGE}/bin)
  file(CREATE_LINK ${VORRA_BIN_TO_ADDIN}/${program} ${VORRA_INSTALL_STAGE}/bin/${program} SYMBOLIC)
  install(FILES ${VORRA_INSTALL_STAGE}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

# The menu entries start the programs in the add-in folder by its absolute path, under
# the prefix the installation uses.
set(VORRA_DESKTOP_ENTRIES vorra-quorlaunch vorra-mouldsafe)
install(CODE "
  foreach(entry ${VORRA_DESKTOP_ENTRIES})
    file(READ \"${VORRA_DESKTOP_SHARE}/\${entry}.desktop.in\" text)
    string(REPLACE \"@ADDIN_DIR@\" \"\${CMAKE_INSTALL_PREFIX}/${VORRA_ADDIN_INSTALL_DIR}\" text \"\${text}\")
    file(WRITE \"${VORRA_INSTALL_STAGE}/applications/\${entry}.desktop\" \"\${text}\")
  endforeach()
")
foreach(entry IN LISTS VORRA_DESKTOP_ENTRIES)
  install(FILES ${VORRA_INSTALL_STAGE}/applications/${entry}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
endforeach()
