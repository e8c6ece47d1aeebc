# Installs the built project into a fresh prefix, checks the installed headers, then configures,
# builds and runs the consumer example against that prefix only, warnings being errors.
cmake_minimum_required(VERSION 3.20)
file(REMOVE_RECURSE ${WORK_DIR})
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "${what} failed: ${result}")
  endif()
endfunction()
run("install" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix)

# No internal header (one in a detail/ folder) is installed, and every
# header that an installed header includes is installed too.
set(include_dir ${WORK_DIR}/prefix/${INCLUDE_SUBDIR})
file(GLOB_RECURSE headers RELATIVE ${include_dir} ${include_dir}/*)
foreach(header IN LISTS headers)
  if(header MATCHES "(^|/)detail/")
    message(FATAL_ERROR "an internal header is installed: ${header}")
  endif()
  file(STRINGS ${include_dir}/${header} includes REGEX "^#include \"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    if(NOT EXISTS ${include_dir}/${included})
      message(FATAL_ERROR "${header} includes ${included}, which is not installed")
    endif()
  endforeach()
endforeach()

set(warnings -Wall -Wextra -Wpedantic -Werror)
string(JOIN " " consumer_cxx_flags ${CXX_FLAGS} ${warnings})
if(TOOLCHAIN)
  # Cross-compiling: the prefix is searched as the toolchain searches its own.
  set(find_prefix -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DCMAKE_FIND_ROOT_PATH=${WORK_DIR}/prefix)
else()
  set(find_prefix -DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix)
endif()
if(EMULATOR)
  # The programs load no DLL but those of the prefix (Wine's DLL path, in Windows form).
  string(REPLACE "/" "\\" windows_bin "Z:${WORK_DIR}/prefix/bin")
  set(ENV{WINEPATH} "${windows_bin}")
endif()
run("configuring the consumer" ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -G Ninja
    ${find_prefix} "-DCMAKE_CXX_FLAGS=${consumer_cxx_flags}" -DCMAKE_EXE_LINKER_FLAGS=${CXX_FLAGS})
run("building the consumer" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run("the consumer" ${EMULATOR} ${WORK_DIR}/build/consumer${EXE} ${JOB} ${WORK_DIR}/completed.par)
run("the installed kestcmd" ${EMULATOR} ${WORK_DIR}/prefix/bin/kestcmd${EXE} check
    ${WORK_DIR}/completed.par)

# The Windows package: unpacked into an empty folder, its kestcmd.exe runs with what is beside it.
if(EMULATOR)
  run("packing" ${CPACK} -G ZIP --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}/zip)
  file(GLOB zip ${WORK_DIR}/zip/*.zip)
  file(MAKE_DIRECTORY ${WORK_DIR}/unpacked)
  run("unpacking" ${CMAKE_COMMAND} -E chdir ${WORK_DIR}/unpacked ${CMAKE_COMMAND} -E tar xf ${zip})
  foreach(file bin/KestCmdEngine.dll bin/KestUtilities.dll lib/libKestCmdEngine.dll.a
               lib/libKestUtilities.dll.a lib/cmake/KestCmdEngine/KestCmdEngineConfig.cmake
               ${INCLUDE_SUBDIR}/KestCmdEngine.h)
    if(NOT EXISTS ${WORK_DIR}/unpacked/${file})
      message(FATAL_ERROR "the package lacks ${file}")
    endif()
  endforeach()
  string(REPLACE "/" "\\" windows_bin "Z:${WORK_DIR}/unpacked/bin")
  set(ENV{WINEPATH} "${windows_bin}")
  file(COPY ${JOB} DESTINATION ${WORK_DIR}/unpacked)
  get_filename_component(example ${JOB} NAME)
  run("kestcmd.exe of the package" ${CMAKE_COMMAND} -E chdir ${WORK_DIR}/unpacked ${EMULATOR}
      bin/kestcmd${EXE} check ${example})
endif()

# The pkg-config file, where pkg-config is installed: compile the consumer with its flags alone.
find_program(PKG_CONFIG pkg-config)
if(PKG_CONFIG AND NOT TOOLCHAIN)
  set(ENV{PKG_CONFIG_PATH} ${WORK_DIR}/prefix/${LIBDIR}/pkgconfig)
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs KestCmdEngine
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE result)
  if(result)
    message(FATAL_ERROR "pkg-config does not find KestCmdEngine")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  run("compiling with pkg-config flags" ${CXX} -std=c++17 ${CXX_FLAGS} ${warnings}
      ${SOURCE_DIR}/main.cpp ${flags} -Wl,-rpath,${WORK_DIR}/prefix/${LIBDIR}
      -o ${WORK_DIR}/consumer-pc)
  run("the consumer built with pkg-config" ${WORK_DIR}/consumer-pc ${JOB}
      ${WORK_DIR}/completed-pc.par)
endif()
