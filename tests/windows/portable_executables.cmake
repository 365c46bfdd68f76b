# Checks the import and export tables of the Windows build (cmake -P, with OBJDUMP, PROGRAM and
# RUNTIME): Tarnwick.exe imports no QuickTime library, and QuickTime.qts exports exactly
# theQuickTimeDispatcher, _CallComponent and _CallComponentFunctionWithStorage, undecorated.
cmake_minimum_required(VERSION 3.25)

function(pe_header file out)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE header RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${file}")
  endif()
  set(${out} "${header}" PARENT_SCOPE)
endfunction()

pe_header(${PROGRAM} program)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${program}")
foreach(import IN LISTS imports)
  if(import MATCHES "[Qq][Uu][Ii][Cc][Kk][Tt][Ii][Mm][Ee]|\\.qts")
    message(SEND_ERROR "Tarnwick.exe imports QuickTime: ${import}")
  endif()
endforeach()

pe_header(${RUNTIME} runtime)
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" table
       "${runtime}")
string(REGEX REPLACE "[ \t]+\\[[ 0-9]+\\] ([^\n]+)\n" "\\1;" exports "${CMAKE_MATCH_1}")
list(REMOVE_ITEM exports "")
list(SORT exports)
set(expected _CallComponent _CallComponentFunctionWithStorage theQuickTimeDispatcher)
if(NOT exports STREQUAL expected)
  message(SEND_ERROR "QuickTime.qts exports [${exports}], expected [${expected}]")
endif()
