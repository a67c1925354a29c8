# Installs the build into a staging folder (DESTDIR) and checks that install_manifest.txt
# lists every file and link that was installed, and nothing else, so that an uninstaller
# working from the manifest removes the whole installation. Each link must resolve inside
# the installation. The manifest of an earlier real installation is kept.
#
#   cmake -DBUILD=<build folder> -DWORK=<scratch folder> -P InstallManifest.cmake
set(manifest ${BUILD}/install_manifest.txt)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(EXISTS ${manifest})
  file(RENAME ${manifest} ${WORK}/kept-manifest.txt)
endif()

set(root ${WORK}/root)
set(ENV{DESTDIR} ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix /opt/vorra
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(listed)
if(EXISTS ${manifest})
  file(STRINGS ${manifest} listed ENCODING UTF-8)
  file(REMOVE ${manifest})
endif()
if(EXISTS ${WORK}/kept-manifest.txt)
  file(RENAME ${WORK}/kept-manifest.txt ${manifest})
endif()
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${output}")
endif()

# The manifest names the files without DESTDIR.
list(TRANSFORM listed PREPEND ${root})
file(GLOB_RECURSE installed LIST_DIRECTORIES false ${root}/*)
list(SORT installed)
list(SORT listed)
set(unlisted ${installed})
list(REMOVE_ITEM unlisted ${listed})
set(missing ${listed})
list(REMOVE_ITEM missing ${installed})
if(unlisted OR missing OR NOT installed)
  list(JOIN unlisted "\n  " unlisted)
  list(JOIN missing "\n  " missing)
  message(FATAL_ERROR "installed but not in the manifest:\n  ${unlisted}\n"
                      "in the manifest but not installed:\n  ${missing}")
endif()
foreach(file IN LISTS installed)
  if(IS_SYMLINK ${file} AND NOT EXISTS ${file})
    file(READ_SYMLINK ${file} target)
    message(FATAL_ERROR "the link ${file} points nowhere: ${target}")
  endif()
endforeach()
list(LENGTH installed count)
message(STATUS "${count} files installed, all in the manifest")
file(REMOVE_RECURSE ${WORK})
