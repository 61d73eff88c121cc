# The build's check of the imaging rooms, run on small trees made here:
#   cmake -DCHECK=<CheckIncludeRooms.cmake> -DWORK=<folder> -P IncludeRoomsTest.cmake
cmake_minimum_required(VERSION 3.16)

# check_tree(<what> <expected refusal or "">  <file> <includes> [<file> <includes>]...)
# Makes a tree of the given files, each holding the includes given (";" in
# CMake's list sense is written "|" here), runs the check on it and compares
# its refusal with the expected text ("" when the tree must pass).
function(check_tree what expected)
  set(root "${WORK}/tree")
  file(REMOVE_RECURSE "${root}")
  set(args "${ARGN}")
  list(LENGTH args count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET args ${i} path)
    list(GET args ${j} includes)
    string(REPLACE "|" ";" includes "${includes}")
    set(text "// ${path}\n")
    foreach(include IN LISTS includes)
      string(APPEND text "${include}\n")
    endforeach()
    file(WRITE "${root}/${path}" "${text}")
  endforeach()
  set(stamp "${WORK}/stamp")
  file(REMOVE "${stamp}")
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DROOT=${root}" -DSUBSYSTEM=imaging
            "-DLEVELS=decoding|picture|clipboard,saving" "-DSTAMP=${stamp}" -P "${CHECK}"
    RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_QUIET)
  string(REGEX REPLACE "[ \n]+" " " output "${output}")
  if(expected STREQUAL "")
    if(NOT result EQUAL 0 OR NOT EXISTS "${stamp}")
      message(SEND_ERROR "${what}: refused, should pass:\n${output}")
    endif()
  elseif(result EQUAL 0 OR EXISTS "${stamp}")
    message(SEND_ERROR "${what}: passed, should be refused with: ${expected}")
  else()
    string(FIND "${output}" "${expected}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${what}: refused, but not with \"${expected}\":\n${output}")
    endif()
  endif()
endfunction()

check_tree("includes that run down, stay in a room or leave the subsystem" ""
  WorkingImage.h "#include <vector>"
  decoding/Dib.h "#include \"imaging/WorkingImage.h\""
  decoding/Dib.cpp "#include \"imaging/decoding/Dib.h\"|#include \"Local.h\""
  picture/Picture.h "#include \"imaging/decoding/Dib.h\"|#include \"util/AppError.h\""
  clipboard/Clipboard_win32.cpp "#  include \"imaging/picture/Picture.h\"|#include \"imaging/WorkingImage.h\""
  saving/Writer.cpp "#include \"imaging/decoding/Dib.h\"|#include <windows.h>")

check_tree("decoding reaching up to the picture"
  "decoding/Dib.cpp: \"imaging/picture/Picture.h\" is in room 'picture', not below room 'decoding'"
  picture/Picture.h ""
  decoding/Dib.cpp "#include \"imaging/picture/Picture.h\"")

check_tree("an indented include is read as any other"
  "decoding/Dib.h: \"imaging/clipboard/Clipboard.h\" is in room 'clipboard'"
  decoding/Dib.h "  #  include \"imaging/clipboard/Clipboard.h\"")

check_tree("the clipboard reaching across to the save"
  "clipboard/Clipboard.cpp: \"imaging/saving/Sink.h\" is in room 'saving', not below room 'clipboard'"
  clipboard/Clipboard.cpp "#include \"imaging/saving/Sink.h\"")

check_tree("a shared file reaching into a room"
  "WorkingImage.h: \"imaging/picture/Picture.h\" is in room 'picture', not below the shared files"
  WorkingImage.h "#include \"imaging/picture/Picture.h\"")

check_tree("a folder that is no room"
  "drawing/Draw.cpp: its folder is no room of imaging"
  drawing/Draw.cpp "#include \"imaging/WorkingImage.h\"")

check_tree("an include of a room that does not exist"
  "saving/Writer.cpp: \"imaging/drawing/Draw.h\" is in no room of imaging"
  saving/Writer.cpp "#include \"imaging/drawing/Draw.h\"")

check_tree("a relative path around the rooms"
  "decoding/Dib.cpp: \"../picture/Picture.h\" climbs out of its folder"
  decoding/Dib.cpp "#include \"../picture/Picture.h\"")

check_tree("every refusal is listed, not only the first"
  "picture/B.h: \"imaging/saving/S.h\""
  picture/A.h "#include \"imaging/clipboard/C.h\""
  picture/B.h "#include \"imaging/saving/S.h\"")
