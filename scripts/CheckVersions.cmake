# SPDX-License-Identifier: MIT
# Fails when a file that names the version has fallen behind project(VERSION).
#   cmake -DVERSION=x.y.z -DCHANGELOG=… -DMETAINFO=… -DMANPAGE=… -P CheckVersions.cmake
set(failures "")

file(STRINGS "${CHANGELOG}" first_line LIMIT_COUNT 1)
if(NOT first_line MATCHES "^orvane \\(([^)]+)\\) ")
  list(APPEND failures "changelog: first line is not an orvane entry: ${first_line}")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  list(APPEND failures "changelog: newest entry is ${CMAKE_MATCH_1}")
endif()

# Releases are listed newest first.
file(READ "${METAINFO}" metainfo)
if(NOT metainfo MATCHES "<release version=\"([^\"]+)\"")
  list(APPEND failures "metainfo: no release")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  list(APPEND failures "metainfo: newest release is ${CMAKE_MATCH_1}")
endif()

file(STRINGS "${MANPAGE}" th REGEX "^\\.TH ")
if(NOT th MATCHES "\"Orvane ([^\"]+)\"")
  list(APPEND failures "man page: .TH names no version: ${th}")
elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  list(APPEND failures "man page: .TH names ${CMAKE_MATCH_1}")
endif()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Version ${VERSION} of project() is not everywhere:\n  ${text}")
endif()
message(STATUS "Version ${VERSION} in the changelog, the metainfo and the man page")
