# `cmake --install` and `cpack -G DEB`: the sealed bundle under PREFIX/lib/tallyroom, a
# command in PREFIX/bin, the desktop entry in PREFIX/share/applications and the icon in
# PREFIX/share/icons/hicolor. The bundle is copied with its modes, so its seal still holds.
# The PAM service goes where PAM looks for it, whatever the prefix.
install(DIRECTORY ${BUNDLE_DIR} DESTINATION lib/tallyroom USE_SOURCE_PERMISSIONS)
set(TALLYROOM_PAM_DIR /etc/pam.d CACHE PATH "Folder of the PAM service files")
install(FILES ${PROJECT_SOURCE_DIR}/src/bundle/pam.d/tallyroom DESTINATION ${TALLYROOM_PAM_DIR})
install(DIRECTORY ${BUNDLE_RESOURCES}/icons/hicolor DESTINATION share/icons)
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
]])

set(CPACK_PACKAGE_NAME tallyroom)
set(CPACK_PACKAGE_VENDOR tallyroom)
set(CPACK_PACKAGE_CONTACT "tallyroom maintainers <maintainers@tallyroom.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Disk-space tool: ranks the largest files, deletes reviewed ones, shows folders in 3D")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The menu cache and the Open With lists come from desktop-file-utils.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS desktop-file-utils)
# The PAM service is the administrator's to adapt: dpkg keeps local changes.
file(WRITE ${CMAKE_BINARY_DIR}/debian/conffiles "${TALLYROOM_PAM_DIR}/tallyroom\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/conffiles)
include(CPack)
