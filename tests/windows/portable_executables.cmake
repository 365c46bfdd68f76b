# Checks the PE headers of the Windows build (cmake -P, with OBJDUMP, PROGRAM and RUNTIME):
# Tarnwick.exe is a 32-bit console program that imports no QuickTime library, and QuickTime.qts
# is a 32-bit DLL that exports exactly theQuickTimeDispatcher, _CallComponent and
# _CallComponentFunctionWithStorage, undecorated.
cmake_minimum_required(VERSION 3.25)

function(pe_header file out)
  execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE header RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${file}")
  endif()
  set(${out} "${header}" PARENT_SCOPE)
endfunction()

pe_header(${PROGRAM} program)
if(NOT program MATCHES "\nMagic[ \t]+010b" OR NOT program MATCHES "\nSubsystem[ \t]+00000003")
  message(SEND_ERROR "Tarnwick.exe is not a PE32 console program")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${program}")
foreach(import IN LISTS imports)
  if(import MATCHES "[Qq][Uu][Ii][Cc][Kk][Tt][Ii][Mm][Ee]|\\.qts")
    message(SEND_ERROR "Tarnwick.exe imports QuickTime: ${import}")
  endif()
endforeach()

pe_header(${RUNTIME} runtime)
if(NOT runtime MATCHES "\nMagic[ \t]+010b" OR NOT runtime MATCHES "\n[ \t]+DLL\n")
  message(SEND_ERROR "QuickTime.qts is not a 32-bit DLL")
endif()
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)+)" table
       "${runtime}")
string(REGEX REPLACE "[ \t]+\\[[ 0-9]+\\] ([^\n]+)\n" "\\1;" exports "${CMAKE_MATCH_1}")
list(REMOVE_ITEM exports "")
list(SORT exports)
set(expected _CallComponent _CallComponentFunctionWithStorage theQuickTimeDispatcher)
if(NOT exports STREQUAL expected)
  message(SEND_ERROR "QuickTime.qts exports [${exports}], expected [${expected}]")
endif()
