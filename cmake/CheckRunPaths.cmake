# Refuses a binary whose run path (RPATH or RUNPATH) has an empty or a
# relative entry: the dynamic loader reads either as the folder the program
# was started from, so a library left there would run inside the program.
# Entries must be absolute or start at the binary's own folder ($ORIGIN).
#
#   cmake -DLIST=<file of binary paths, one a line> -P CheckRunPaths.cmake
#   cmake -DFILES=<binary>[;<binary>...] -P CheckRunPaths.cmake

cmake_minimum_required(VERSION 3.25)

find_program(READELF readelf REQUIRED)
set(_files ${FILES})
if(LIST)
  file(STRINGS "${LIST}" _listed)
  list(APPEND _files ${_listed})
endif()
list(REMOVE_DUPLICATES _files)
if(NOT _files)
  message(FATAL_ERROR "no binary to check")
endif()

set(_refused "")
foreach(_file IN LISTS _files)
  if(NOT EXISTS "${_file}")
    message(FATAL_ERROR "${_file} is not built")
  endif()
  execute_process(COMMAND ${READELF} --dynamic --wide "${_file}"
    OUTPUT_VARIABLE _dynamic RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "readelf could not read ${_file}")
  endif()
  string(REGEX MATCHALL "\\((RPATH|RUNPATH)\\)[^\n]*\\[[^]\n]*\\]" _paths "${_dynamic}")
  foreach(_path IN LISTS _paths)
    string(REGEX REPLACE "^[^[]*\\[(.*)\\]$" "\\1" _value "${_path}")
    # Split by hand: list() would drop the empty entries this is about.
    string(REPLACE ":" "\n" _entries "${_value}\n")
    string(REGEX MATCHALL "[^\n]*\n" _entries "${_entries}")
    foreach(_entry IN LISTS _entries)
      string(STRIP "${_entry}" _entry)
      if(_entry STREQUAL "")
        list(APPEND _refused "${_file}: an empty entry in '${_value}'")
      elseif(NOT _entry MATCHES "^(/|\\$ORIGIN(/|$)|\\$\\{ORIGIN\\}(/|$))")
        list(APPEND _refused "${_file}: the relative entry '${_entry}' in '${_value}'")
      endif()
    endforeach()
  endforeach()
endforeach()

if(_refused)
  # One line each, unwrapped, so that the check's own test can read them.
  foreach(_line IN LISTS _refused)
    message(STATUS "refused: ${_line}")
  endforeach()
  list(LENGTH _refused _count)
  message(FATAL_ERROR "${_count} run path entries reach the current folder")
endif()
list(LENGTH _files _count)
message(STATUS "${_count} binaries, no run path reaches the current folder")
