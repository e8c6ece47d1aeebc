# The Windows package (cpack -G ZIP in a cross or native MinGW-w64 build): bin/ with both DLLs,
# kestcmd.exe and the compiler's runtime DLLs they load, lib/ with the import libraries and the
# CMake package, include/ and the documentation, so that the folder works where it is unpacked.
if(MINGW)
  foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE runtime_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${runtime_dll}")
      message(FATAL_ERROR "the compiler's runtime ${dll} is not found")
    endif()
    install(FILES ${runtime_dll} DESTINATION ${CMAKE_INSTALL_BINDIR})
  endforeach()
endif()
install(FILES LICENSE README.md CHANGELOG.md docs/windows.md docs/guide.md docs/kestcmd.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
