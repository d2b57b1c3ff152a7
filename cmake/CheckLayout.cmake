# Fails the build when an include runs against the layers of src/:
#   core:  a folder includes only itself and the folders before it in core_layers,
#          and never a GUI header (every Qt header a core file names must be one of Qt Core's);
#   document (one folder, Qt Gui without widgets): over the core, under gui;
#   gui:   a folder includes only itself and the layers before its own in gui_layers;
#          the folders of one layer (joined by commas) never include each other.
# Run with -DSOURCE_DIR=<src> -DQT_CORE_INCLUDE_DIR=<QtCore headers> [-DSTAMP=<file> [-DDEPFILE=<file>]].

# The layers, lowest first: a new folder of src/core or src/gui goes in here.
set(core_layers errors files text config storage import search order sqlite postgres session)
set(gui_layers shared search,setup,update,order main)

set(rank 0)
foreach(layer IN LISTS gui_layers)
    string(REPLACE "," ";" siblings "${layer}")
    foreach(sibling IN LISTS siblings)
        set(gui_rank_${sibling} ${rank})
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/core/*" "${SOURCE_DIR}/document/*"
     "${SOURCE_DIR}/gui/*")
set(faults "")
foreach(source IN LISTS sources)
    if(source MATCHES "^document/")
        set(library "document")
        set(folder "")
    else()
        string(REGEX MATCH "^([a-z]+)/([a-z]+)/" _ "${source}")
        set(library "${CMAKE_MATCH_1}")
        set(folder "${CMAKE_MATCH_2}")
    endif()
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" header "${line}")
        if(library STREQUAL "core")
            if(header MATCHES "^(gui|document|client|admin)/")
                list(APPEND faults "${source}: a core file includes ${header}")
            elseif(header MATCHES "^Qt[A-Za-z]+/(.+)$|^(Q[A-Za-z]+)$")
                # One regular expression: a second MATCHES would clear the first one's match.
                if(NOT EXISTS "${QT_CORE_INCLUDE_DIR}/${CMAKE_MATCH_1}${CMAKE_MATCH_2}")
                    list(APPEND faults "${source}: a core file includes ${header}, which is not a Qt Core header")
                endif()
            elseif(header MATCHES "^core/([a-z]+)/")
                list(FIND core_layers "${folder}" own)
                list(FIND core_layers "${CMAKE_MATCH_1}" used)
                if(own LESS 0 OR used LESS 0 OR used GREATER own)
                    list(APPEND faults "${source}: core/${folder} may not include ${header}")
                endif()
            endif()
        elseif(header MATCHES "^(client|admin)/")
            list(APPEND faults "${source}: a library file includes ${header}")
        elseif(library STREQUAL "document")
            if(header MATCHES "^gui/")
                list(APPEND faults "${source}: a document file includes ${header}")
            endif()
        elseif(header MATCHES "^gui/([a-z]+)/")
            set(used "${CMAKE_MATCH_1}")
            if(NOT DEFINED gui_rank_${folder} OR NOT DEFINED gui_rank_${used})
                list(APPEND faults "${source}: unknown GUI folder in ${header}")
            elseif(NOT used STREQUAL folder AND NOT gui_rank_${used} LESS gui_rank_${folder})
                list(APPEND faults "${source}: gui/${folder} may not include ${header}")
            endif()
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes against the layout:\n  ${text}")
endif()
if(DEPFILE)
    # What the check read, its folders included, so that the build runs it again
    # when a file changes, is added or is removed.
    file(GLOB_RECURSE inputs LIST_DIRECTORIES true "${SOURCE_DIR}/core/*" "${SOURCE_DIR}/document/*"
         "${SOURCE_DIR}/gui/*")
    list(APPEND inputs "${SOURCE_DIR}/core" "${SOURCE_DIR}/document" "${SOURCE_DIR}/gui")
    list(TRANSFORM inputs REPLACE " " "\\\\ ")
    list(JOIN inputs " \\\n  " text)
    file(WRITE "${DEPFILE}" "${STAMP}: \\\n  ${text}\n")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
