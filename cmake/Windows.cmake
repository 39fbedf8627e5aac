# The Windows program, cross-built with MinGW-w64 beside the Linux one (in the build folder's
# windows/), so that its tests under Wine always run the program of these sources. Not in
# sanitizer builds, which would build and test the same Windows program again.
if(WIN32 OR NOLVEX_SANITIZE OR NOT NOLVEX_BUILD_TESTS)
    return()
endif()
find_program(NOLVEX_MINGW_CXX x86_64-w64-mingw32-g++-posix)
if(NOT NOLVEX_MINGW_CXX)
    message(STATUS "x86_64-w64-mingw32-g++-posix not found: no Windows program, no tests under Wine")
    return()
endif()
include(ExternalProject)
set(NOLVEX_WINDOWS_BUILD_DIR ${PROJECT_BINARY_DIR}/windows)
ExternalProject_Add(nolvex-windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${NOLVEX_WINDOWS_BUILD_DIR}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
               -DCMAKE_BUILD_TYPE=MinSizeRel -DNOLVEX_WERROR=${NOLVEX_WERROR}
    INSTALL_COMMAND ""
    BUILD_ALWAYS TRUE)
