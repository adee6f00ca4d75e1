# The version text of the programs: the project's number, and the git revision when the source is
# a git checkout (read when CMake configures; a source tree without git shows the number alone).
set(KAVREL_GIT_REVISION "")
find_package(Git QUIET)
if(GIT_FOUND AND EXISTS "${PROJECT_SOURCE_DIR}/.git")
    execute_process(COMMAND "${GIT_EXECUTABLE}" describe --always --dirty
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE KAVREL_GIT_REVISION OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE git_status ERROR_QUIET)
    if(NOT git_status EQUAL 0)
        set(KAVREL_GIT_REVISION "")
    endif()
endif()
if(KAVREL_GIT_REVISION)
    set(KAVREL_VERSION_TEXT "${PROJECT_VERSION} (git ${KAVREL_GIT_REVISION})")
else()
    set(KAVREL_VERSION_TEXT "${PROJECT_VERSION}")
endif()
# Written only when it changes, so a reconfigure does not rebuild every program.
configure_file(${CMAKE_CURRENT_LIST_DIR}/kavrel_version.h.in ${CMAKE_BINARY_DIR}/generated/kavrel_version.h @ONLY)
