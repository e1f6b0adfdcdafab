# `cmake --install` and `cpack -G DEB`: the sealed bundle under PREFIX/lib/tallyroom, a
# command in PREFIX/bin, the desktop entry in PREFIX/share/applications, the icon in
# PREFIX/share/icons/hicolor, the metainfo and the manual pages. The bundle is copied with
# its modes, so its seal still holds; a stripping install seals it again after stripping.
# The PAM service goes where PAM looks for it, whatever the prefix.
install(DIRECTORY ${BUNDLE_DIR} DESTINATION lib/tallyroom USE_SOURCE_PERMISSIONS)
set(TALLYROOM_PAM_DIR /etc/pam.d CACHE PATH "Folder of the PAM service files")
install(FILES ${PROJECT_SOURCE_DIR}/src/bundle/pam.d/tallyroom DESTINATION ${TALLYROOM_PAM_DIR})
install(CODE "set(SEALBUNDLE \"$<TARGET_FILE:sealbundle>\")")
install(CODE "set(STRIP_PROGRAM \"${CMAKE_STRIP}\")")
install(CODE [[
  if(CMAKE_INSTALL_DO_STRIP)
    set(bundle "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/tallyroom/tallyroom.app")
    foreach(binary IN ITEMS Contents/MacOS/tallyroom Contents/Helpers/delver)
      message(STATUS "Stripping: ${bundle}/${binary}")
      execute_process(COMMAND "${STRIP_PROGRAM}" --strip-unneeded --remove-section=.comment
        --remove-section=.note "${bundle}/${binary}" COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    message(STATUS "Sealing: ${bundle}")
    execute_process(COMMAND "${SEALBUNDLE}" "${bundle}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
]])
install(DIRECTORY ${BUNDLE_RESOURCES}/icons/hicolor DESTINATION share/icons)
install(FILES ${METAINFO} DESTINATION share/metainfo)
install(FILES ${MANUAL_PAGES} DESTINATION share/man/man1)
# What Debian asks of every package's documentation folder.
set(CHANGELOG ${CMAKE_BINARY_DIR}/share/doc/tallyroom/changelog)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CHANGELOG} @ONLY)
add_custom_command(OUTPUT ${CHANGELOG}.gz
  COMMAND ${GZIP_PROGRAM} -9nkf ${CHANGELOG}
  DEPENDS ${CHANGELOG})
add_custom_target(changelog ALL DEPENDS ${CHANGELOG}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CHANGELOG}.gz DESTINATION share/doc/tallyroom)
install(CODE "set(DESKTOP_ENTRY_TEMPLATE \"${DESKTOP_ENTRY_TEMPLATE}\")")
install(CODE [[
  # The prefix is known only now: cpack installs under its own.
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(command "${CMAKE_INSTALL_PREFIX}/bin/tallyroom")
  if(command MATCHES "[\"`$\\%]" OR command MATCHES "[\n\t\r]")
    message(FATAL_ERROR "The prefix ${CMAKE_INSTALL_PREFIX} cannot be written into a desktop entry")
  endif()
  file(MAKE_DIRECTORY "${root}/bin" "${root}/share/applications")
  message(STATUS "Installing: ${root}/bin/tallyroom")
  file(CREATE_LINK ../lib/tallyroom/tallyroom.app/Contents/MacOS/tallyroom "${root}/bin/tallyroom" SYMBOLIC)
  file(READ "${DESKTOP_ENTRY_TEMPLATE}" entry)
  string(REPLACE "@EXEC@" "\"${command}\"" entry "${entry}")
  string(REPLACE "@TRYEXEC@" "${command}" entry "${entry}")
  message(STATUS "Installing: ${root}/share/applications/tallyroom.desktop")
  file(WRITE "${root}/share/applications/tallyroom.desktop" "${entry}")
  # Launchers find folder handlers through the MIME cache; a package leaves it to the
  # system's trigger, a direct installation refreshes it itself.
  find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
  if("$ENV{DESTDIR}" STREQUAL "" AND UPDATE_DESKTOP_DATABASE)
    execute_process(COMMAND "${UPDATE_DESKTOP_DATABASE}" -q "${root}/share/applications")
  endif()
]])

set(CPACK_PACKAGE_NAME tallyroom)
set(CPACK_PACKAGE_VENDOR tallyroom)
set(CPACK_PACKAGE_CONTACT "tallyroom maintainers <maintainers@tallyroom.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Disk-space tool: largest files, reviewed deletions, folders in 3D")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The summary is the first line of the package's description; this is the rest.
set(CPACK_PACKAGE_DESCRIPTION "tallyroom scans a disk or folder and ranks its largest files. In Read-Only
Mode it only scans; in Active Mode it deletes the reviewed files permanently
and safely, writes reports and verifies the volume. Its 3D viewer shows any
folder as a rotatable graph, and single items can be moved to the Trash.
Folders can be opened from the file manager.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The menu cache and the Open With lists come from desktop-file-utils.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS desktop-file-utils)
# The PAM service is the administrator's to adapt: dpkg keeps local changes.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${TALLYROOM_PAM_DIR}/tallyroom\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
include(CPack)
