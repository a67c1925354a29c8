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
set(VORRA_ADDIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/vorra)
set(VORRA_DESKTOP_SHARE ${CMAKE_CURRENT_LIST_DIR}/share)

if(TARGET vorra-desktop)
  install(TARGETS vorra-desktop RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
foreach(program IN ITEMS Quorlaunch Mouldsafe)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${VORRA_ADDIN_INSTALL_DIR})
  endif()
endforeach()

file(RELATIVE_PATH VORRA_HOST_PATH /prefix/${VORRA_ADDIN_INSTALL_DIR} /prefix/${CMAKE_INSTALL_BINDIR}/vorra-desktop)
install(CODE "
  set(addin_dir \"\${CMAKE_INSTALL_PREFIX}/${VORRA_ADDIN_INSTALL_DIR}\")
  set(root \"\$ENV{DESTDIR}\")
  file(MAKE_DIRECTORY \"\${root}\${addin_dir}\")
  # The launcher starts the program this file names (relative to the launcher's folder).
  file(WRITE \"\${root}\${addin_dir}/host-path\" \"${VORRA_HOST_PATH}\\n\")
  message(STATUS \"Writing: \${root}\${addin_dir}/host-path\")
  foreach(program Quorlaunch Mouldsafe)
    if(EXISTS \"\${root}\${addin_dir}/\${program}\")
      file(MAKE_DIRECTORY \"\${root}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(CREATE_LINK \"\${addin_dir}/\${program}\" \"\${root}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\" SYMBOLIC)
    endif()
  endforeach()
  file(MAKE_DIRECTORY \"\${root}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
  foreach(entry vorra-quorlaunch vorra-mouldsafe)
    file(READ \"${VORRA_DESKTOP_SHARE}/\${entry}.desktop.in\" text)
    string(REPLACE \"@ADDIN_DIR@\" \"\${addin_dir}\" text \"\${text}\")
    file(WRITE \"\${root}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${entry}.desktop\" \"\${text}\")
    message(STATUS \"Writing: \${root}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/\${entry}.desktop\")
  endforeach()
")
