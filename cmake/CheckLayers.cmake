# Checks that the libraries under src/ are layered:
#   cmake -DLAYERS_FILE=<build>/layers/layers.cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
# LAYERS_FILE (written by src/CMakeLists.txt) holds the layer table, lowest
# first, and each library's files and direct links.  Fails when
#  - a library links a library that is not listed before it;
#  - a file under src/ belongs to no library or to two (a header belongs to
#    the library of the .cpp of the same name unless listed itself);
#  - a file includes ("area/file.h") a file of another library that its own
#    library does not link, directly or through others.
# Every fault is listed before the check fails.

cmake_minimum_required(VERSION 3.25)

if(NOT LAYERS_FILE OR NOT SOURCE_DIR)
  message(FATAL_ERROR "usage: cmake -DLAYERS_FILE=... -DSOURCE_DIR=... -P CheckLayers.cmake")
endif()
include(${LAYERS_FILE})
cmake_path(NORMAL_PATH SOURCE_DIR)
string(REGEX REPLACE "/$" "" SOURCE_DIR "${SOURCE_DIR}")

set(faults "")
macro(fault text)
  list(APPEND faults "${text}")
endmacro()

# Rank of each library and links that do not reach down.
set(rank 0)
foreach(lib IN LISTS PITROVA_LAYERS)
  set(rank_${lib} ${rank})
  math(EXPR rank "${rank} + 1")
endforeach()
foreach(lib IN LISTS PITROVA_LAYERS)
  foreach(dep IN LISTS PITROVA_LINKS_${lib})
    if(NOT rank_${dep} LESS rank_${lib})
      fault("${lib} links ${dep}, which does not lie below it in the layers")
    endif()
  endforeach()
endforeach()

# Everything each library may include from: itself and what it links.
foreach(lib IN LISTS PITROVA_LAYERS)
  set(reach ${lib})
  set(todo ${PITROVA_LINKS_${lib}})
  while(todo)
    list(POP_FRONT todo dep)
    if(NOT dep IN_LIST reach)
      list(APPEND reach ${dep})
      list(APPEND todo ${PITROVA_LINKS_${dep}})
    endif()
  endwhile()
  set(reach_${lib} ${reach})
endforeach()

# Owner of each file, as a path relative to src/ (file names turned into
# variable-safe keys).
macro(key_of path out)
  string(MAKE_C_IDENTIFIER "${path}" ${out})
endmacro()
foreach(lib IN LISTS PITROVA_LAYERS)
  foreach(f IN LISTS PITROVA_FILES_${lib})
    cmake_path(RELATIVE_PATH f BASE_DIRECTORY ${SOURCE_DIR} OUTPUT_VARIABLE rel)
    key_of("${rel}" k)
    if(DEFINED owner_${k} AND NOT owner_${k} STREQUAL lib)
      fault("src/${rel} belongs to both ${owner_${k}} and ${lib}")
    endif()
    set(owner_${k} ${lib})
  endforeach()
endforeach()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
list(SORT files)
foreach(rel IN LISTS files)
  key_of("${rel}" k)
  if(NOT DEFINED owner_${k} AND rel MATCHES "\\.h$")
    string(REGEX REPLACE "\\.h$" ".cpp" cpp "${rel}")
    key_of("${cpp}" ck)
    if(DEFINED owner_${ck})
      set(owner_${k} ${owner_${ck}})
    endif()
  endif()
  if(NOT DEFINED owner_${k})
    fault("src/${rel} belongs to no library: list it in its folder's sources.cmake")
  endif()
endforeach()

foreach(rel IN LISTS files)
  key_of("${rel}" k)
  if(NOT DEFINED owner_${k})
    continue()
  endif()
  set(lib ${owner_${k}})
  file(STRINGS ${SOURCE_DIR}/${rel} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" inc "${line}")
    # Generated headers (the schema script) are not under src/.
    if(NOT EXISTS ${SOURCE_DIR}/${inc})
      continue()
    endif()
    key_of("${inc}" ik)
    if(NOT DEFINED owner_${ik})
      continue()  # reported above
    endif()
    set(target ${owner_${ik}})
    if(NOT target IN_LIST reach_${lib})
      fault("src/${rel} (${lib}) includes ${inc} (${target}), which ${lib} does not lie above")
    endif()
  endforeach()
endforeach()

if(faults)
  list(LENGTH faults n)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "The libraries under src/ are not layered (${n}):\n  ${text}")
endif()
message(STATUS "Layers: every include under src/ reaches down")
