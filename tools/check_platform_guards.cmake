# Fails when a file under SOURCE_DIR, outside its platform/ folder, asks which
# system it is built for (_WIN32, __linux__, __APPLE__, Q_OS_ and a name):
# such differences live in platform/, or in a per-platform file that the build
# picks. Run: cmake -DSOURCE_DIR=<src folder> -P check_platform_guards.cmake

set(guard "_WIN32|__linux__|__APPLE__|Q_OS_[A-Za-z0-9_]+")
# Whole names only: PAGESMITH_WIN32 or _WIN32_WINNT are other names.
set(pattern "([^A-Za-z0-9_])(${guard})[^A-Za-z0-9_]")

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: ${SOURCE_DIR}")
endif()
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(problems 0)
foreach(file IN LISTS files)
    if(file MATCHES "^platform/")
        continue()
    endif()
    file(READ "${SOURCE_DIR}/${file}" text)
    # A line break at each end, so that every name has a character either side.
    # (file(STRINGS) cannot be used: it splits lines at brackets and semicolons.)
    string(PREPEND text "\n")
    string(APPEND text "\n")
    set(line 0)
    string(REGEX MATCH "${pattern}" found "${text}")
    while(NOT found STREQUAL "")
        set(name "${CMAKE_MATCH_2}")
        # The first match is the first place these characters occur.
        string(FIND "${text}" "${found}" at)
        string(LENGTH "${CMAKE_MATCH_1}" before)
        math(EXPR nameAt "${at} + ${before}")
        string(SUBSTRING "${text}" 0 ${nameAt} passed)
        string(REGEX MATCHALL "\n" breaks "${passed}")
        list(LENGTH breaks count)
        math(EXPR line "${line} + ${count}")
        message(SEND_ERROR "${file}:${line}: platform guard ${name} outside platform/")
        math(EXPR problems "${problems} + 1")
        string(LENGTH "${name}" nameLength)
        math(EXPR after "${nameAt} + ${nameLength}")
        string(SUBSTRING "${text}" ${after} -1 text)
        string(REGEX MATCH "${pattern}" found "${text}")
    endwhile()
endforeach()
if(problems GREATER 0)
    message(FATAL_ERROR "${problems} platform guard(s) outside platform/: the difference "
                        "belongs in a platform/ function, or a per-platform file the build picks")
endif()
list(LENGTH files fileCount)
message(STATUS "${fileCount} files, platform guards only in platform/")
