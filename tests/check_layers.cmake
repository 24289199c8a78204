# Fails when a file under src/ includes a header of a later layer.
# Usage: cmake -DSOURCE_DIR=<repo>/src -P check_layers.cmake
#
# The layers, each using only those before it: platform, tools, model,
# editor, dialogs, mainwin. A layer may include its own headers and those of
# earlier layers; dialogs, although after editor, must not include editor
# headers. Folders under src/ that are not layers are not checked.

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check_layers: pass -DSOURCE_DIR=<path to src>")
endif()

set(layers platform tools model editor dialogs mainwin)

function(layer_rank name out)
    list(FIND layers "${name}" rank)
    set(${out} ${rank} PARENT_SCOPE)
endfunction()

set(offences "")
set(checked 0)
foreach(layer IN LISTS layers)
    layer_rank(${layer} own)
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
         "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.hpp"
         "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.cxx")
    foreach(source IN LISTS sources)
        math(EXPR checked "${checked} + 1")
        file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
        foreach(line IN LISTS lines)
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]+)[\">]")
                continue()
            endif()
            set(header "${CMAKE_MATCH_1}")
            # "../editor/x.h" names the editor layer as "editor/x.h" does.
            string(REGEX REPLACE "^(\\.\\.?/)+" "" path "${header}")
            if(NOT path MATCHES "^([^/]+)/")
                continue() # a header of the file's own folder or of a library
            endif()
            layer_rank("${CMAKE_MATCH_1}" used)
            if(used LESS 0)
                continue() # not one of ours (<Qsci/...>, <sys/...>)
            endif()
            if(used GREATER own)
                set(why "${CMAKE_MATCH_1} comes after ${layer}")
                list(APPEND offences "src/${source} includes \"${header}\": ${why}")
            elseif(layer STREQUAL "dialogs" AND CMAKE_MATCH_1 STREQUAL "editor")
                set(why "dialogs must not use the editor")
                list(APPEND offences "src/${source} includes \"${header}\": ${why}")
            endif()
        endforeach()
    endforeach()
endforeach()

if(checked EQUAL 0)
    message(FATAL_ERROR "check_layers: no sources found under ${SOURCE_DIR}")
endif()
if(offences)
    list(LENGTH offences count)
    foreach(offence IN LISTS offences)
        message("${offence}")
    endforeach()
    message(FATAL_ERROR "${count} include(s) against the layer order "
                        "(platform, tools, model, editor, dialogs, mainwin)")
endif()
message(STATUS "Layer order kept in ${checked} files")
