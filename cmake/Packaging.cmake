# The Debian package (make package): build/pagesmith_VERSION_amd64.deb holds
# what the install rules put under /usr. Its dependencies are worked out from
# the program's binary by dpkg-shlibdeps.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagesmith)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_CONTACT "Tolvane <pagesmith@tolvane.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# Directories the install creates are rwxr-xr-x whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert, merge and count the pages of TIFF files")
# The summary above becomes the first line of Description; these lines follow.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pagesmith works on folders of TIFF files, the kind offices collect from
scanners and fax machines. It converts every file of a folder to another
compression (none, PackBits, CCITT Group 3 and Group 4, LZW, JPEG) or to a
PDF document, merges files into one multi-page file or one PDF document,
counts pages and reports on a single file.
.
It runs as a window with a folder tree and a file list, or as one
command-line batch for scripts, with a report line for every page.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.tolvane.example/pagesmith)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
