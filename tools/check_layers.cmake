# Fails when a file under SOURCE_DIR includes a header of a layer above its
# own, or when two folders include each other. Run:
#   cmake -DSOURCE_DIR=<src folder> -P check_layers.cmake
#
# The layers, top first; folders on one line share a layer. "." is the files
# directly in a folder (SOURCE_DIR's: the program's main). A file may include
# headers of its own layer and of the layers below it; two folders of one
# layer may not both include the other.
cmake_minimum_required(VERSION 3.25)

set(PAGESMITH_LAYERS
    "."
    "ui"
    "app"
    "batch"
    "engine"
    "inspect"
    "base|tiff|platform")
# Inside a folder of the first level its sub-folders have an order too,
# written the same way; the folder's own files are "<folder>/.".
#
# The engine by station: the conversion run over everything it hands pages
# to, the preview beside it; the PDF writer and the fax route; the TIFF
# writer; the row readers; the engine's face (options, results, the report);
# the thread pieces everything uses.
set(PAGESMITH_LAYERS_engine
    "engine/run|engine/preview"
    "engine/pdf|engine/fax"
    "engine/tiffout"
    "engine/samples"
    "engine/."
    "engine/threads")
# The watch runs batches.
set(PAGESMITH_LAYERS_batch
    "batch/watch"
    "batch/.")
# The main window over its jobs, the jobs over the dialogs and the preview,
# all of them over the toolkit.
set(PAGESMITH_LAYERS_ui
    "ui/main"
    "ui/jobs"
    "ui/dialogs|ui/preview"
    "ui/toolkit")
set(PAGESMITH_LEVELS "" engine batch ui)

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
foreach(top IN LISTS PAGESMITH_LEVELS)
    if(top)
        rank_layers(PAGESMITH_LAYERS_${top})
    endif()
endforeach()

# The first-level folder of a path ("." for a file directly in SOURCE_DIR).
function(layer_of path result)
    set(${result} "." PARENT_SCOPE)
    if(path MATCHES "^([^/]+)/")
        set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    endif()
endfunction()

# The second-level folder of a path inside a first-level folder that has an
# order of its own ("engine/run", or "engine/." for the engine's own files);
# empty elsewhere.
function(sublayer_of path result)
    set(${result} "" PARENT_SCOPE)
    layer_of("${path}" top)
    if(NOT DEFINED PAGESMITH_LAYERS_${top})
        return()
    endif()
    if(path MATCHES "^${top}/([^/]+)/")
        set(${result} "${top}/${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${result} "${top}/." PARENT_SCOPE)
    endif()
endfunction()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
if(NOT IS_DIRECTORY "${SOURCE_DIR}")
    message(FATAL_ERROR "SOURCE_DIR is not a folder: ${SOURCE_DIR}")
endif()
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(problems 0)
set(crossings "")

# One include from folder `own` to folder `target` of one level.
macro(check_include own target)
    if(NOT "${own}" STREQUAL "${target}" AND DEFINED rankOf_${own} AND DEFINED rankOf_${target})
        if(rankOf_${target} GREATER rankOf_${own})
            message(SEND_ERROR "${file} includes ${header}: ${target}/ is above ${own}/")
            math(EXPR problems "${problems} + 1")
        elseif(rankOf_${target} EQUAL rankOf_${own})
            list(APPEND crossings "${own}>${target}")
        endif()
    endif()
endmacro()

foreach(file IN LISTS files)
    layer_of("${file}" own)
    sublayer_of("${file}" ownSub)
    if(NOT DEFINED rankOf_${own} OR (ownSub AND NOT DEFINED rankOf_${ownSub}))
        message(SEND_ERROR "${file}: its folder is in no layer")
        math(EXPR problems "${problems} + 1")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" header "${line}")
        # Headers beside the file (generated moc files) belong to no layer.
        if(NOT header MATCHES "/")
            continue()
        endif()
        layer_of("${header}" target)
        check_include("${own}" "${target}")
        if("${own}" STREQUAL "${target}")
            sublayer_of("${header}" targetSub)
            check_include("${ownSub}" "${targetSub}")
        endif()
    endforeach()
endforeach()

# Folders of one layer may use each other one way only.
list(REMOVE_DUPLICATES crossings)
foreach(crossing IN LISTS crossings)
    string(REPLACE ">" ";" ends "${crossing}")
    list(GET ends 0 from)
    list(GET ends 1 to)
    if("${to}>${from}" IN_LIST crossings AND "${from}" STRLESS "${to}")
        message(SEND_ERROR "${from}/ and ${to}/ include each other")
        math(EXPR problems "${problems} + 1")
    endif()
endforeach()

if(problems GREATER 0)
    message(FATAL_ERROR "${problems} include(s) point up a layer or round in a circle")
endif()
list(LENGTH files fileCount)
message(STATUS "${fileCount} files, every include points down")
