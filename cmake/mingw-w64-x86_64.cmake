# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix, whose
# std::thread runs on winpthreads):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Libraries and packages are looked for under the MinGW-w64 sysroot and under the folders given
# in CMAKE_FIND_ROOT_PATH (a prefix with GoogleTest built for Windows, an installed KestCmdEngine),
# never among the host's. Programs built for the tests run under Wine (scripts/run-under-wine.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(kest_mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${kest_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${kest_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${kest_mingw_triple}-windres)

if(NOT "/usr/${kest_mingw_triple}" IN_LIST CMAKE_FIND_ROOT_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH /usr/${kest_mingw_triple})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

cmake_path(ABSOLUTE_PATH CMAKE_CURRENT_LIST_DIR NORMALIZE OUTPUT_VARIABLE kest_source_dir)
cmake_path(GET kest_source_dir PARENT_PATH kest_source_dir)
set(CMAKE_CROSSCOMPILING_EMULATOR ${kest_source_dir}/scripts/run-under-wine.sh)
