# Fails when a .ts file has an unfinished or obsolete entry, or when lupdate
# over the sources would change it: a text left out of translation, or one
# whose source changed.
# -DLUPDATE=... -DSOURCE_DIR=src -DTS_DIR=translations -DWORK_DIR=...
file(GLOB TS_FILES ${TS_DIR}/*.ts)
if(NOT TS_FILES)
    message(FATAL_ERROR "No .ts files in ${TS_DIR}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(failed FALSE)
foreach(ts IN LISTS TS_FILES)
    get_filename_component(name ${ts} NAME)
    file(READ ${ts} content)
    if(content MATCHES "type=\"(unfinished|obsolete|vanished)\"")
        message(SEND_ERROR "${name}: an entry is ${CMAKE_MATCH_1}")
        set(failed TRUE)
    endif()
    set(copy ${WORK_DIR}/${name})
    configure_file(${ts} ${copy} COPYONLY)
    execute_process(COMMAND ${LUPDATE} -silent -locations none -no-obsolete ${SOURCE_DIR} -ts ${copy}
                    RESULT_VARIABLE status ERROR_VARIABLE errors)
    if(NOT status EQUAL 0)
        message(SEND_ERROR "lupdate failed on ${name}: ${errors}")
        set(failed TRUE)
        continue()
    endif()
    file(READ ${copy} updated)
    if(NOT updated STREQUAL content)
        message(SEND_ERROR "${name} differs from what lupdate makes of the sources "
                           "(compare ${copy}); run lupdate -locations none -no-obsolete src -ts ${ts} "
                           "and translate what is new")
        set(failed TRUE)
    endif()
endforeach()
if(failed)
    message(FATAL_ERROR "The translations are not complete")
endif()
