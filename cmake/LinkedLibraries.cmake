# Writes the libraries an executable names (its DT_NEEDED entries, in link order), each
# resolved to the absolute path the dynamic loader picks, one per line.
# Usage: cmake -DEXECUTABLE=… -DOUTPUT=… -DREADELF=… -DLDD=… -P LinkedLibraries.cmake

execute_process(COMMAND ${READELF} --dynamic ${EXECUTABLE}
  OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf could not read ${EXECUTABLE}")
endif()
execute_process(COMMAND ${LDD} ${EXECUTABLE} OUTPUT_VARIABLE resolved RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ldd could not resolve ${EXECUTABLE}")
endif()

# ldd lines read "\tNAME => PATH (ADDRESS)".
string(REPLACE "\n" ";" lines "${resolved}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[\t ]*([^ ]+) => (/[^ ]+) \\(")
    set("path_${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}")
  endif()
endforeach()

string(REGEX MATCHALL "\\(NEEDED\\)[^\n]*" needed "${dynamic}")
set(listing "")
foreach(entry IN LISTS needed)
  string(REGEX REPLACE ".*\\[(.+)\\].*" "\\1" name "${entry}")
  if(DEFINED "path_${name}")
    string(APPEND listing "${path_${name}}\n")
  else()
    # A name the loader cannot find stays as it is, so the check reports it missing.
    string(APPEND listing "${name}\n")
  endif()
endforeach()
file(WRITE ${OUTPUT} "${listing}")
