# Refuses an include that runs up a subsystem's rooms. Run as a script:
#
#   cmake -DROOT=<folder> -DSUBSYSTEM=<name> -DLEVELS=<levels> [-DSTAMP=<file>]
#         -P CheckIncludeRooms.cmake
#
# ROOT is the subsystem's folder (src/<name>), whose headers are included as
# "<name>/<room>/<file>" and, for the few files every room shares,
# "<name>/<file>". LEVELS names the rooms from the bottom up, levels apart by
# "|", rooms of one level by ",": "decoding|picture|clipboard,saving". A file
# may include its own room, any room of a lower level, and the shared files;
# the shared files include no room. Rooms of one level stay apart. A file in
# a folder LEVELS does not name, an include of a room it does not name, and a
# path with ".." are refused too, so that a new room is placed before it is
# used. On success STAMP, when given, is touched.
cmake_minimum_required(VERSION 3.16)

foreach(required ROOT SUBSYSTEM LEVELS)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "CheckIncludeRooms: ${required} is not set")
  endif()
endforeach()

# Level of each room; the shared files (room "") are level 0.
set(level 0)
set(level_of_ 0)
string(REPLACE "|" ";" level_list "${LEVELS}")
foreach(rooms_of_level IN LISTS level_list)
  math(EXPR level "${level} + 1")
  string(REPLACE "," ";" rooms "${rooms_of_level}")
  foreach(room IN LISTS rooms)
    set(level_of_${room} ${level})
  endforeach()
endforeach()

# The room of a path inside ROOT ("" for the shared files), or "?" for a
# folder no level names.
function(room_of relative out)
  if(relative MATCHES "^([^/]+)/")
    set(room "${CMAKE_MATCH_1}")
    if(NOT DEFINED level_of_${room})
      set(room "?")
    endif()
  else()
    set(room "")
  endif()
  set(${out} "${room}" PARENT_SCOPE)
endfunction()

function(describe room out)
  if(room STREQUAL "")
    set(${out} "the shared files" PARENT_SCOPE)
  else()
    set(${out} "room '${room}'" PARENT_SCOPE)
  endif()
endfunction()

set(refusals "")
file(GLOB_RECURSE files RELATIVE "${ROOT}" "${ROOT}/*.h" "${ROOT}/*.cpp")
list(SORT files)
foreach(file IN LISTS files)
  room_of("${file}" own_room)
  if(own_room STREQUAL "?")
    string(APPEND refusals "  ${file}: its folder is no room of ${SUBSYSTEM}\n")
    continue()
  endif()
  file(STRINGS "${ROOT}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
    if(included MATCHES "(^|/)\\.\\.(/|$)")
      string(APPEND refusals "  ${file}: \"${included}\" climbs out of its folder\n")
      continue()
    endif()
    if(NOT included MATCHES "^${SUBSYSTEM}/(.*)$")
      continue()  # another subsystem's, or a file of the same folder
    endif()
    room_of("${CMAKE_MATCH_1}" included_room)
    if(included_room STREQUAL "?")
      string(APPEND refusals "  ${file}: \"${included}\" is in no room of ${SUBSYSTEM}\n")
      continue()
    endif()
    if(included_room STREQUAL own_room)
      continue()
    endif()
    if(${level_of_${included_room}} GREATER_EQUAL ${level_of_${own_room}})
      describe("${own_room}" own_name)
      describe("${included_room}" included_name)
      string(APPEND refusals
             "  ${file}: \"${included}\" is in ${included_name}, not below ${own_name}\n")
    endif()
  endforeach()
endforeach()

if(NOT refusals STREQUAL "")
  message(FATAL_ERROR
          "${SUBSYSTEM}'s rooms include only downward (${LEVELS}, bottom first):\n"
          "${refusals}")
endif()
if(DEFINED STAMP)
  file(TOUCH "${STAMP}")
endif()
