# GoogleTest built from the source Debian ships (/usr/src/googletest) with this build's compiler and
# standard library. Debian's prebuilt libgtest is built against libstdc++, so a libc++ build cannot
# link it. The tests' find_package(GTest) is answered by these targets instead of the system's.
include(FetchContent)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
FetchContent_Declare(GTest SOURCE_DIR /usr/src/googletest OVERRIDE_FIND_PACKAGE)
FetchContent_MakeAvailable(GTest)
