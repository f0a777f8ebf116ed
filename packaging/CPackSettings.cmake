# SPDX-License-Identifier: MIT
# The Debian package, made by CPack from what `cmake --install` puts in place.
# Version and summary come from project(); the library dependencies are
# worked out by dpkg-shlibdeps from the program itself.
set(ORVANE_PACKAGE_MAINTAINER "The Orvane developers <developers@orvane.invalid>"
    CACHE STRING "Maintainer line of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VENDOR "The Orvane developers")
set(CPACK_PACKAGE_CONTACT "${ORVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for counting problems")
set(CPACK_PACKAGE_DESCRIPTION
  "Orvane works out factorials, combinations, arrangements with and without
repetition, the number of subsets of a set and the permutations of a
multiset. An expression is built in its one window from counting terms with
a function list, two input boxes and an Add button, or typed directly, mixed
with ordinary arithmetic and the previous answer.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# Stripped as Debian's own tools strip programs, without the compiler's notes.
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/StripPrograms.cmake")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without it the program cannot start on a Wayland session that has no X server.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Directories that the package creates get the usual 0755 whatever the umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
