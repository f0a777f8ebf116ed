# SPDX-License-Identifier: MIT
# Run by CPack on the staged files before they are packed: strips every
# program the way dh_strip does, symbols and the .comment and .note sections.
find_program(STRIP_PROGRAM strip REQUIRED)
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
if(NOT programs)
  message(FATAL_ERROR "No program staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND ${STRIP_PROGRAM} --remove-section=.comment --remove-section=.note "${program}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
