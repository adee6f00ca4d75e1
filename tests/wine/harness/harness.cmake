# kavrel_add_wine_harness_test(NAME <test> TARGET <exe target> [PORTS <COMn=SPEC>...]
#                              [ARGS <arg>...] [TIMEOUT <seconds>])
# Runs the Windows test executable under Wine through with-trackers.sh, with the given COM ports
# (see the script; no PORTS means no COM ports at all). Such tests share the prefix's ports, so
# CTest runs them one at a time (resource lock kavrel_wine_com_ports).
include_guard(GLOBAL)

set(KAVREL_WINE_HARNESS ${CMAKE_CURRENT_LIST_DIR}/with-trackers.sh)

function(kavrel_add_wine_harness_test)
    # The include guard skips the file's own set() in every directory but the first.
    set(KAVREL_WINE_HARNESS ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/with-trackers.sh)
    cmake_parse_arguments(PARSE_ARGV 0 arg "" "NAME;TARGET;TIMEOUT" "PORTS;ARGS")
    if(NOT arg_NAME OR NOT arg_TARGET)
        message(FATAL_ERROR "kavrel_add_wine_harness_test needs NAME and TARGET")
    endif()
    if(NOT arg_TIMEOUT)
        set(arg_TIMEOUT 300)
    endif()
    add_test(NAME ${arg_NAME}
        COMMAND ${KAVREL_WINE_HARNESS} --prefix ${KAVREL_WINEPREFIX}
                --sim ${KAVREL_NATIVE_BUILD}/sim/kavrel-sim ${arg_PORTS}
                -- ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${arg_TARGET}> ${arg_ARGS})
    set_tests_properties(${arg_NAME} PROPERTIES RESOURCE_LOCK kavrel_wine_com_ports TIMEOUT ${arg_TIMEOUT})
endfunction()
