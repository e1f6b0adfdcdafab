# The desktop entry template and the application icon (SVG and PNG sizes in the hicolor
# layout), written into the bundle's resources before it is sealed. The installed copy
# registers them with the desktop; `cmake --install` places them in the standard folders.
set(APP_ICON_SVG ${PROJECT_SOURCE_DIR}/src/bundle/tallyroom.svg)
set(DESKTOP_ENTRY_TEMPLATE ${PROJECT_SOURCE_DIR}/src/bundle/desktop-entry.in)
set(BUNDLE_ICONS ${BUNDLE_RESOURCES}/icons/hicolor)
set(APP_ICON_SIZES 16 24 32 48 64 128 256)

add_executable(rendericon ${PROJECT_SOURCE_DIR}/src/tools/rendericon.cpp)
target_link_libraries(rendericon PRIVATE Qt6::Gui Qt6::Svg)

set(desktop_files ${BUNDLE_RESOURCES}/desktop-entry.in ${BUNDLE_ICONS}/scalable/apps/tallyroom.svg)
add_custom_command(OUTPUT ${BUNDLE_RESOURCES}/desktop-entry.in
  COMMAND ${CMAKE_COMMAND} -E copy ${DESKTOP_ENTRY_TEMPLATE} ${BUNDLE_RESOURCES}/desktop-entry.in
  DEPENDS ${DESKTOP_ENTRY_TEMPLATE})
add_custom_command(OUTPUT ${BUNDLE_ICONS}/scalable/apps/tallyroom.svg
  COMMAND ${CMAKE_COMMAND} -E copy ${APP_ICON_SVG} ${BUNDLE_ICONS}/scalable/apps/tallyroom.svg
  DEPENDS ${APP_ICON_SVG})
foreach(size IN LISTS APP_ICON_SIZES)
  set(png ${BUNDLE_ICONS}/${size}x${size}/apps/tallyroom.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BUNDLE_ICONS}/${size}x${size}/apps
    COMMAND rendericon ${APP_ICON_SVG} ${size} ${png}
    DEPENDS rendericon ${APP_ICON_SVG}
    COMMENT "Rendering the ${size} px application icon")
  list(APPEND desktop_files ${png})
endforeach()

add_custom_target(desktopfiles DEPENDS ${desktop_files})
add_dependencies(bundle desktopfiles)

# The AppStream metainfo and the manual pages, each configured from its one source.
set(METAINFO ${CMAKE_BINARY_DIR}/share/metainfo/tallyroom.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/src/bundle/tallyroom.metainfo.xml ${METAINFO} @ONLY)
string(TIMESTAMP MANUAL_DATE "%Y-%m-%d" UTC)
find_program(GZIP_PROGRAM gzip REQUIRED)
set(MANUAL_PAGES)
foreach(page IN ITEMS tallyroom delver)
  set(roff ${CMAKE_BINARY_DIR}/share/man/man1/${page}.1)
  configure_file(${PROJECT_SOURCE_DIR}/man/${page}.1.in ${roff} @ONLY)
  add_custom_command(OUTPUT ${roff}.gz
    COMMAND ${GZIP_PROGRAM} -9nkf ${roff}
    DEPENDS ${roff}
    COMMENT "Compressing the ${page}(1) manual page")
  list(APPEND MANUAL_PAGES ${roff}.gz)
endforeach()
add_custom_target(manuals ALL DEPENDS ${MANUAL_PAGES})
