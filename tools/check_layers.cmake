# Fails when a file under SOURCE_DIR includes a header of a layer above its
# own. Run: cmake -DSOURCE_DIR=<src folder> -P check_layers.cmake
#
# The layers, top first; folders on one line share a layer. "." is the files
# directly in SOURCE_DIR (the program's main). A file may include headers of
# its own layer and of the layers below it.
set(PAGESMITH_LAYERS
    "."
    "ui"
    "app"
    "batch"
    "engine"
    "inspect"
    "base|tiff|platform")
# Inside ui the same by sub-folder: the main window above its jobs, the jobs
# above the dialogs and the preview, all of them above the toolkit.
set(PAGESMITH_UI_LAYERS
    "ui/main"
    "ui/jobs"
    "ui/dialogs|ui/preview"
    "ui/toolkit")

macro(rank_layers layers)
    list(LENGTH ${layers} layerCount)
    set(rank ${layerCount})
    foreach(layer IN LISTS ${layers})
        string(REPLACE "|" ";" folders "${layer}")
        foreach(folder IN LISTS folders)
            set(rankOf_${folder} ${rank})
        endforeach()
        math(EXPR rank "${rank} - 1")
    endforeach()
endmacro()
rank_layers(PAGESMITH_LAYERS)
rank_layers(PAGESMITH_UI_LAYERS)

function(layer_of path result)
    string(FIND "${path}" "/" slash)
    if(slash EQUAL -1)
        set(${result} "." PARENT_SCOPE)
    else()
        string(SUBSTRING "${path}" 0 ${slash} folder)
        set(${result} "${folder}" PARENT_SCOPE)
    endif()
endfunction()

# "ui/jobs" for a path in ui/jobs/; empty for a path outside ui's sub-folders.
function(ui_layer_of path result)
    set(${result} "" PARENT_SCOPE)
    if(path MATCHES "^(ui/[^/]+)/")
        set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    endif()
endfunction()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: ${SOURCE_DIR}")
endif()
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(problems 0)
foreach(file IN LISTS files)
    layer_of("${file}" own)
    if(NOT DEFINED rankOf_${own})
        message(SEND_ERROR "${file}: its folder ${own}/ is in no layer")
        math(EXPR problems "${problems} + 1")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
        layer_of("${header}" target)
        # Headers beside the file (generated moc files) belong to no layer.
        if(target STREQUAL "." OR NOT DEFINED rankOf_${target})
            continue()
        endif()
        if(rankOf_${target} GREATER rankOf_${own})
            message(SEND_ERROR "${file} includes ${header}: ${target}/ is above ${own}/")
            math(EXPR problems "${problems} + 1")
        endif()
        ui_layer_of("${file}" ownUi)
        ui_layer_of("${header}" targetUi)
        if(ownUi AND targetUi AND DEFINED rankOf_${ownUi} AND DEFINED rankOf_${targetUi})
            if(rankOf_${targetUi} GREATER rankOf_${ownUi})
                message(SEND_ERROR "${file} includes ${header}: ${targetUi}/ is above ${ownUi}/")
                math(EXPR problems "${problems} + 1")
            endif()
        endif()
    endforeach()
endforeach()
if(problems GREATER 0)
    message(FATAL_ERROR "${problems} include(s) point up a layer")
endif()
list(LENGTH files fileCount)
message(STATUS "${fileCount} files, every include points down")
