# Cross-builds the installer for 64-bit Windows with Debian's MinGW-w64 compiler:
#   cmake -S . -B build-windows --toolchain cmake/mingw-w64-x86_64.cmake
# Needs g++-mingw-w64-x86-64-posix, binutils-mingw-w64-x86-64 (windres) and
# libz-mingw-w64-dev; libpng and libjpeg are cross-built by
# scripts/build-windows-deps.sh into HF_WINDOWS_DEPS_DIR (the configure step runs it
# when they are missing, see cmake/WindowsDependencies.cmake).

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(HF_MINGW_TRIPLET x86_64-w64-mingw32)
# The posix thread model: JUCE uses std::thread and std::mutex, which the win32 model lacks.
set(CMAKE_C_COMPILER   ${HF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HF_MINGW_TRIPLET}-g++-posix)
set(CMAKE_ASM_COMPILER ${HF_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_RC_COMPILER  ${HF_MINGW_TRIPLET}-windres)
set(CMAKE_AR           ${HF_MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${HF_MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# Where the cross-built libpng and libjpeg live. Nested projects (try_compile) get it
# passed on, since they have a build folder of their own.
if(NOT HF_WINDOWS_DEPS_DIR)
    set(HF_WINDOWS_DEPS_DIR "${CMAKE_BINARY_DIR}/deps" CACHE PATH "Cross-built libpng and libjpeg")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HF_WINDOWS_DEPS_DIR)

# Libraries and headers come from the MinGW sysroot and the cross-built dependencies only;
# programs (juceaide, zip, the host tools) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${HF_MINGW_TRIPLET} ${HF_WINDOWS_DEPS_DIR})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The same JUCE modules as the Linux build. find_package does not look in the host's
# multiarch folder for a Windows target, and its JUCE package names a host juceaide,
# which is right: juceaide runs on the build machine.
set(JUCE_DIR /usr/lib/x86_64-linux-gnu/cmake/JUCE-7.0.5 CACHE PATH "Debian's JUCE CMake package")

# The C and C++ runtimes linked in, so the executables need no MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# JUCE's Debug flags make the MinGW link take minutes.
set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type")

# Test executables (and anything else CMake runs of the target's) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
