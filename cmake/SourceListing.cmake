# Writes the program's source listing: every source file under SOURCE_DIR, sorted by path,
# each under a header line with its path.
# Usage: cmake -DSOURCE_DIR=… -DOUTPUT=… -P SourceListing.cmake

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.in ${SOURCE_DIR}/CMakeLists.txt)
list(SORT sources)
set(listing "")
foreach(source IN LISTS sources)
  file(READ ${SOURCE_DIR}/${source} text)
  string(APPEND listing "// ==== src/${source} ====\n\n${text}\n")
endforeach()
file(WRITE ${OUTPUT} "${listing}")
