# libpng and libjpeg for the Windows build. Debian has no MinGW packages of them, so
# scripts/build-windows-deps.sh cross-builds them from Debian's source packages into
# HF_WINDOWS_DEPS_DIR (a folder of the build, searched through CMAKE_FIND_ROOT_PATH).
# It runs once; later configures find the libraries in place.
if(NOT HF_WINDOWS_DEPS_DIR)
    message(FATAL_ERROR "HF_WINDOWS_DEPS_DIR is not set: configure with --toolchain cmake/mingw-w64-x86_64.cmake")
endif()

if(NOT EXISTS ${HF_WINDOWS_DEPS_DIR}/lib/libpng16.a OR NOT EXISTS ${HF_WINDOWS_DEPS_DIR}/lib/libjpeg.a)
    message(STATUS "Cross-building libpng and libjpeg into ${HF_WINDOWS_DEPS_DIR}")
    execute_process(
        COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/build-windows-deps.sh ${HF_WINDOWS_DEPS_DIR}
        RESULT_VARIABLE _hf_deps_result)
    if(NOT _hf_deps_result EQUAL 0)
        message(FATAL_ERROR "Cross-building libpng and libjpeg failed")
    endif()
endif()

# Static archives only (libz.a, not the import library of zlib1.dll): the program is one
# file. Set here, after project(): the Windows platform files reset it after the toolchain.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
