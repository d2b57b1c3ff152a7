# Runs cmake/CheckLayout.cmake on a one-file tree per case and expects it to
# pass ("ok") or to fail. Run with -DCHECK=<CheckLayout.cmake>
# -DQT_CORE_INCLUDE_DIR=<QtCore headers> -DWORK_DIR=<scratch folder>.
set(cases
    "core/session/A.cpp|core/text/B.h|ok"
    "core/session/A.cpp|core/session/B.h|ok"
    "core/text/A.cpp|core/session/B.h|fault"
    "core/session/A.cpp|core/unknown/B.h|fault"
    "core/text/A.cpp|QString|ok"
    "core/text/A.cpp|QtCore/QString|ok"
    "core/text/A.cpp|QWidget|fault"
    "core/text/A.cpp|QtGui/QImage|fault"
    "core/session/A.cpp|gui/shared/B.h|fault"
    "core/session/A.cpp|document/Quote.h|fault"
    "core/session/A.cpp|admin/B.h|fault"
    "document/A.cpp|core/session/B.h|ok"
    "document/A.cpp|gui/shared/B.h|fault"
    "gui/shared/A.cpp|core/session/B.h|ok"
    "gui/search/A.cpp|gui/shared/B.h|ok"
    "gui/search/A.cpp|gui/search/B.h|ok"
    "gui/search/A.cpp|gui/setup/B.h|fault"
    "gui/order/A.cpp|gui/update/B.h|fault"
    "gui/shared/A.cpp|gui/search/B.h|fault"
    "gui/main/A.cpp|gui/order/B.h|ok"
    "gui/order/A.cpp|gui/main/B.h|fault"
    "gui/unknown/A.cpp|gui/shared/B.h|fault"
    "gui/main/A.cpp|client/B.h|fault")

set(failures "")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 file)
    list(GET fields 1 header)
    list(GET fields 2 expected)
    file(REMOVE_RECURSE "${WORK_DIR}")
    file(WRITE "${WORK_DIR}/${file}" "#include \"${header}\"\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${WORK_DIR} -DQT_CORE_INCLUDE_DIR=${QT_CORE_INCLUDE_DIR}
                            -DSTAMP=${WORK_DIR}/stamp -P ${CHECK}
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
    set(result fault)
    if(status EQUAL 0)
        set(result ok)
        # The stamp is what tells the build the check passed.
        if(NOT EXISTS "${WORK_DIR}/stamp")
            set(result "ok without a stamp")
        endif()
    elseif(EXISTS "${WORK_DIR}/stamp")
        set(result "fault with a stamp")
    endif()
    if(NOT result STREQUAL expected)
        list(APPEND failures "${file} including ${header}: ${result}, expected ${expected}")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")

if(failures)
    list(JOIN failures "\n  " text)
    message(FATAL_ERROR "CheckLayout.cmake:\n  ${text}")
endif()
