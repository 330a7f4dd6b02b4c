# Run after a test program is built: asks it for the functions and data rows
# of one test class (QtTest's -datatags) and writes the CTest cases that run
# each row alone ("PROGRAM CLASS function:row"), so a long class no longer
# holds one runner for minutes while the others wait. With -DBY=function,
# one case runs all the rows of a function ("PROGRAM CLASS function"): each
# case is a process, whose start costs more than a quick row.
#   cmake -DPROGRAM=... -DCLASS=... -DNAME=e2e/tst_x -DOUT=... -DENV=... -DTIMEOUT=... [-DBY=function] -P ListCases.cmake
cmake_minimum_required(VERSION 3.25) # the policies of the project
string(REPLACE "|" ";" ENV "${ENV}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} ${CLASS} -datatags
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR listing STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} ${CLASS} -datatags failed (${status})")
endif()
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(cases "")
set(functions "")
foreach(line IN LISTS lines)
  # "TestClass function" or "TestClass function row name"
  if(line MATCHES "^[A-Za-z0-9_]+ ([A-Za-z0-9_]+)( (.*))?$")
    set(function ${CMAKE_MATCH_1})
    set(row "${CMAKE_MATCH_3}")
    if(BY STREQUAL "function")
      if(function IN_LIST functions)
        continue()
      endif()
      list(APPEND functions ${function})
      set(selector "${function}")
    elseif(row STREQUAL "")
      set(selector "${function}")
    else()
      set(selector "${function}:${row}")
    endif()
    string(APPEND cases
      "add_test([=[${NAME}/${selector}]=] [=[${PROGRAM}]=] [=[${CLASS}]=] [=[${selector}]=])\n"
      "set_tests_properties([=[${NAME}/${selector}]=] PROPERTIES ENVIRONMENT [=[${ENV}]=] TIMEOUT ${TIMEOUT})\n")
  endif()
endforeach()
if(cases STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} ${CLASS} listed no test function")
endif()
file(WRITE "${OUT}.new" "${cases}")
file(RENAME "${OUT}.new" "${OUT}")
