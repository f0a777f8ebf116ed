# SPDX-License-Identifier: MIT
# Feeds orvane-eval a short session through standard input and checks every line it prints:
# the answer box carries over between lines (ANS) and keeps its text when a line fails.
# Usage: cmake -DEVAL=<path of orvane-eval> -P orvane_eval_session.cmake
if(NOT EVAL)
  message(FATAL_ERROR "orvane_eval_session: pass -DEVAL=<path of orvane-eval>")
endif()

set(input "${CMAKE_CURRENT_BINARY_DIR}/orvane_eval_session.in")
file(WRITE "${input}" "C(2,5)+A(2,5)*W(2,5)\n20!\nANS/19!\n6/0\n2*(1-4)\n1\\\\+(2)\n")

execute_process(
  COMMAND "${EVAL}"
  INPUT_FILE "${input}"
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 60)

# A crash or a time-out shows as a text instead of an exit code.
if(NOT status MATCHES "^[0-9]+$")
  message(FATAL_ERROR "orvane-eval did not finish normally: ${status}\n${errors}")
endif()

set(expected "^510\n2\\.43290200817664E\\+18\n20\nerror: [^\n]*\n-6\nerror: [^\n]*backslash[^\n]*\n?$")
if(NOT output MATCHES "${expected}")
  message(FATAL_ERROR
    "orvane-eval printed:\n${output}\n"
    "expected the lines 510, 2.43290200817664E+18, 20, an 'error: ' line, -6 and an 'error: ' line naming the backslash\n"
    "standard error:\n${errors}")
endif()
message(STATUS "orvane-eval session: all six lines as expected")
