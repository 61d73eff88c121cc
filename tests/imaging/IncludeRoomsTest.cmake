# The build's check of the imaging rooms, run on small trees made here:
#   cmake -DCHECK=<CheckIncludeRooms.cmake> -DWORK=<folder> -P IncludeRoomsTest.cmake
cmake_minimum_required(VERSION 3.16)

# check_tree(<what> <refusals> <file> <line> [<file> <line>]...): a tree of
# files of one line each, checked; it must pass when <refusals> is empty,
# else be refused with each of them (the check lists every one at once).
function(check_tree what refusals)
  set(root "${WORK}/tree")
  set(stamp "${WORK}/stamp")
  file(REMOVE_RECURSE "${root}" "${stamp}")
  set(files ${ARGN})
  while(files)
    list(POP_FRONT files path line)
    file(WRITE "${root}/${path}" "${line}\n")
  endwhile()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" "-DROOT=${root}" -DSUBSYSTEM=imaging
            "-DLEVELS=decoding|picture|clipboard,saving" "-DSTAMP=${stamp}" -P "${CHECK}"
    RESULT_VARIABLE result ERROR_VARIABLE output OUTPUT_QUIET)
  string(REGEX REPLACE "[ \n]+" " " output "${output}")
  if(NOT refusals)
    if(NOT result EQUAL 0 OR NOT EXISTS "${stamp}")
      message(SEND_ERROR "${what}: refused, should pass:\n${output}")
    endif()
  elseif(result EQUAL 0 OR EXISTS "${stamp}")
    message(SEND_ERROR "${what}: passed, should be refused")
  endif()
  foreach(refusal IN LISTS refusals)
    string(FIND "${output}" "${refusal}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${what}: not refused with \"${refusal}\":\n${output}")
    endif()
  endforeach()
endfunction()

check_tree("includes that run down, stay in a room or leave the subsystem" ""
  WorkingImage.h "#include <vector>"
  decoding/Dib.h "#include \"imaging/WorkingImage.h\""
  decoding/Dib.cpp "#include \"Local.h\""
  picture/Picture.h "#include \"imaging/decoding/Dib.h\""
  picture/Picture.cpp "#include \"imaging/picture/Picture.h\""
  clipboard/Clipboard_win32.cpp "#  include \"imaging/picture/Picture.h\""
  saving/Writer.cpp "#include \"util/AppError.h\"")

check_tree("includes up, across, out of the rooms and around them"
  "decoding/Dib.cpp: \"imaging/picture/Picture.h\" is in room 'picture', not below room 'decoding';decoding/Dib.h: \"imaging/clipboard/Clipboard.h\" is in room 'clipboard';clipboard/Clipboard.cpp: \"imaging/saving/Sink.h\" is in room 'saving', not below room 'clipboard';WorkingImage.h: \"imaging/picture/Picture.h\" is in room 'picture', not below the shared files;drawing/Draw.cpp: its folder is no room of imaging;saving/Writer.cpp: \"imaging/drawing/Draw.h\" is in no room of imaging;picture/Picture.cpp: \"../decoding/Dib.h\" climbs out of its folder"
  decoding/Dib.cpp "#include \"imaging/picture/Picture.h\""
  decoding/Dib.h "  #  include \"imaging/clipboard/Clipboard.h\""
  clipboard/Clipboard.cpp "#include \"imaging/saving/Sink.h\""
  WorkingImage.h "#include \"imaging/picture/Picture.h\""
  drawing/Draw.cpp "#include \"imaging/WorkingImage.h\""
  saving/Writer.cpp "#include \"imaging/drawing/Draw.h\""
  picture/Picture.cpp "#include \"../decoding/Dib.h\"")
