# The About window's resources. Both are written into the bundle before it is sealed.
set(BUNDLE_RESOURCES ${BUNDLE_CONTENTS}/Resources)
set(LINKED_LIBRARIES ${BUNDLE_RESOURCES}/LinkedLibraries.txt)
set(SOURCE_LISTING "${BUNDLE_RESOURCES}/Tallyroom Source.txt")

find_program(LDD_PROGRAM ldd REQUIRED)
if(NOT CMAKE_READELF)
  find_program(CMAKE_READELF readelf REQUIRED)
endif()

add_custom_command(OUTPUT ${LINKED_LIBRARIES}
  COMMAND ${CMAKE_COMMAND} -DEXECUTABLE=$<TARGET_FILE:tallyroom> -DOUTPUT=${LINKED_LIBRARIES}
    -DREADELF=${CMAKE_READELF} -DLDD=${LDD_PROGRAM} -P ${CMAKE_CURRENT_LIST_DIR}/LinkedLibraries.cmake
  DEPENDS tallyroom ${CMAKE_CURRENT_LIST_DIR}/LinkedLibraries.cmake
  COMMENT "Listing the libraries tallyroom links")

file(GLOB_RECURSE PROGRAM_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.in
  ${PROJECT_SOURCE_DIR}/src/CMakeLists.txt)
add_custom_command(OUTPUT ${SOURCE_LISTING}
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -DOUTPUT=${SOURCE_LISTING}
    -P ${CMAKE_CURRENT_LIST_DIR}/SourceListing.cmake
  DEPENDS ${PROGRAM_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/SourceListing.cmake
  COMMENT "Writing the tallyroom source listing")

add_custom_target(bundleresources DEPENDS ${LINKED_LIBRARIES} ${SOURCE_LISTING})
add_dependencies(bundle bundleresources)
