# One run of Tarnwick.exe under wine on a damaged movie, against the native tool on a copy of the
# same movie. Run with cmake -P and these variables:
#   RUNTIME            where QuickTime.qts is put: system-folder, qtsysdir or none
#   WINDOWS_TOOL       Tarnwick.exe             QUICKTIME_QTS     our QuickTime.qts
#   NATIVE_TOOL        the native tarnwick       MAKE_DAMAGED_MOVIE the movie generator
#   WINEPREFIX         the tests' wine prefix    WORK_DIR          a folder of this test's own
#   MOVIE_FOLDER       optional: a folder for the damaged movie, named as the tools are told
#   GAP_BEFORE         optional: bytes of hole before the first frame (frames beyond 4 GiB)
#
# Both tools run in folders of their own with the same relative path, so their console lines
# match once "\r\n" is normalised. With a runtime the Windows tool's movie must list, for ffprobe
# following its data reference, exactly the frames after the first; without one the tool stops
# at the could-not-create line. Either way the damaged movie stays as it was.
cmake_minimum_required(VERSION 3.25)

foreach(tool WINDOWS_TOOL QUICKTIME_QTS NATIVE_TOOL MAKE_DAMAGED_MOVIE)
  if(NOT EXISTS "${${tool}}")
    message(FATAL_ERROR "${tool} not found: ${${tool}} (build the native tree first)")
  endif()
endforeach()

set(wine ${CMAKE_COMMAND} -E env WINEPREFIX=${WINEPREFIX} WINEDEBUG=-all wine)
set(registry_key "HKLM\\Software\\Apple Computer, Inc.\\QuickTime")
set(system_folder ${WINEPREFIX}/drive_c/windows/system32)
if(MOVIE_FOLDER AND NOT MOVIE_FOLDER STREQUAL ".")
  set(movie ${MOVIE_FOLDER}/take.mov)
  set(new_movie ${MOVIE_FOLDER}/take-new.mov)
else()
  set(movie take.mov)
  set(new_movie take-new.mov)
endif()
set(arguments 2048 1152 25000 ${movie})

function(check condition_text)
  if(NOT (${ARGN}))
    message(SEND_ERROR "${condition_text}")
  endif()
endfunction()

# The Windows form of a Linux path, as wine shows it.
function(windows_path path out)
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

function(place_runtime)
  file(REMOVE ${system_folder}/QuickTime.qts ${system_folder}/QuickTime/QuickTime.qts)
  if(RUNTIME STREQUAL "system-folder")
    file(COPY ${QUICKTIME_QTS} DESTINATION ${system_folder})
  elseif(RUNTIME STREQUAL "qtsysdir")
    file(COPY ${QUICKTIME_QTS} DESTINATION ${WORK_DIR}/QuickTime)
    windows_path(${WORK_DIR}/QuickTime folder)
    execute_process(COMMAND ${wine} reg add ${registry_key} /v QTSysDir /t REG_SZ /d ${folder} /f
                    OUTPUT_QUIET ERROR_QUIET)
  endif()
endfunction()

function(remove_runtime)
  file(REMOVE ${system_folder}/QuickTime.qts)
  execute_process(COMMAND ${wine} reg delete ${registry_key} /v QTSysDir /f
                  OUTPUT_QUIET ERROR_QUIET)
endfunction()

function(run_tool folder out_lines out_result)
  execute_process(COMMAND ${ARGN} ${arguments} WORKING_DIRECTORY ${WORK_DIR}/${folder}
                  OUTPUT_VARIABLE lines RESULT_VARIABLE result)
  string(REPLACE "\r\n" "\n" lines "${lines}")
  set(${out_lines} "${lines}" PARENT_SCOPE)
  set(${out_result} "${result}" PARENT_SCOPE)
endfunction()

function(md5_of_bytes file offset size out)
  math(EXPR first "${offset} + 1")
  execute_process(COMMAND sh -c "tail -c +${first} '${file}' | head -c ${size} | md5sum"
                  OUTPUT_VARIABLE sum)
  string(SUBSTRING "${sum}" 0 32 sum)
  set(${out} ${sum} PARENT_SCOPE)
endfunction()

# ffprobe must find one video stream and one packet per frame after the first, each read from
# the damaged movie at the frame's offset.
function(check_movie movie source manifest)
  execute_process(
    COMMAND ffprobe -v error -enable_drefs 1 -show_streams -show_packets -show_data_hash MD5
            -of json ${movie}
    OUTPUT_VARIABLE probe RESULT_VARIABLE result)
  check("ffprobe failed on ${movie}" result EQUAL 0)
  string(JSON streams LENGTH "${probe}" streams)
  check("one stream, not ${streams}" streams EQUAL 1)
  string(JSON tag GET "${probe}" streams 0 codec_tag_string)
  string(JSON width GET "${probe}" streams 0 width)
  string(JSON height GET "${probe}" streams 0 height)
  string(JSON time_base GET "${probe}" streams 0 time_base)
  check("stream ${tag} ${width}x${height} ${time_base}"
        tag STREQUAL "VXHD" AND width EQUAL 1920 AND height EQUAL 1080 AND time_base STREQUAL "1/25")

  file(STRINGS ${manifest} frames)
  list(POP_FRONT frames)  # the first frame is never referenced
  list(LENGTH frames expected)
  string(JSON packets LENGTH "${probe}" packets)
  check("${expected} packets expected, ffprobe lists ${packets}" packets EQUAL expected)
  set(index 0)
  foreach(frame IN LISTS frames)
    if(index GREATER_EQUAL packets)
      break()
    endif()
    string(REPLACE " " ";" frame "${frame}")
    list(GET frame 0 start)
    list(GET frame 1 end)
    math(EXPR frame_size "${end} - ${start}")
    md5_of_bytes(${source} ${start} ${frame_size} md5)
    foreach(field pos size duration flags data_hash)
      string(JSON ${field} GET "${probe}" packets ${index} ${field})
    endforeach()
    check("packet ${index}: pos ${pos} size ${size} duration ${duration} flags ${flags} ${data_hash}"
          pos EQUAL start AND size EQUAL frame_size AND duration EQUAL 1
          AND flags STREQUAL "K_" AND data_hash STREQUAL "MD5:${md5}")
    math(EXPR index "${index} + 1")
  endforeach()
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/native ${WORK_DIR}/windows)
if(NOT GAP_BEFORE)
  set(GAP_BEFORE 0)
endif()
# The same damaged movie for each tool, made in place: a copy would fill in a sparse hole.
foreach(folder native windows)
  file(MAKE_DIRECTORY ${WORK_DIR}/${folder}/${MOVIE_FOLDER})
  execute_process(COMMAND ${MAKE_DAMAGED_MOVIE} ${WORK_DIR}/${folder}/${movie}
                          --manifest ${WORK_DIR}/${folder}-frames.txt --gap-before ${GAP_BEFORE}
                  RESULT_VARIABLE made)
  check("the damaged movie could not be made" made EQUAL 0)
endforeach()
file(MD5 ${WORK_DIR}/windows/${movie} source_md5)

run_tool(native native_lines native_result ${NATIVE_TOOL})
place_runtime()
run_tool(windows windows_lines windows_result ${wine} ${WINDOWS_TOOL})
remove_runtime()

file(MD5 ${WORK_DIR}/windows/${movie} windows_source_md5)
check("the damaged movie was changed" windows_source_md5 STREQUAL source_md5)
if(RUNTIME STREQUAL "none")
  string(REGEX MATCH "^[^\n]*\n[^\n]*\n[^\n]*\n" opening "${native_lines}")
  set(expected_lines "${opening}ERROR:  Could not create: ${new_movie}\n")
  set(expected_result 1)
else()
  set(expected_lines "${native_lines}")
  set(expected_result ${native_result})
  check_movie(${WORK_DIR}/windows/${new_movie} ${WORK_DIR}/windows/${movie}
              ${WORK_DIR}/windows-frames.txt)
endif()
check("console lines differ:\n${windows_lines}\nexpected:\n${expected_lines}"
      windows_lines STREQUAL expected_lines)
check("exit status ${windows_result}, expected ${expected_result}"
      windows_result EQUAL expected_result)
