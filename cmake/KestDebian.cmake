# The Debian package kestcmd_VERSION_ARCH.deb (cpack -G DEB in the build folder): the tool, both
# libraries, the headers, the CMake and pkg-config files, the man page and the completions: all
# that `cmake --install` installs, under /usr. Its dependencies come from dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME kestcmd)
set(CPACK_PACKAGE_VENDOR "The KestCmdEngine developers")
set(CPACK_PACKAGE_CONTACT "The KestCmdEngine developers <kestcmd@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "check, complete and edit structural-optimisation jobs; C++ library and language server")
set(CPACK_PACKAGE_DESCRIPTION
    "kestcmd checks, completes, shows, lays out and edits the parameter files of\n\
structural-optimisation jobs and serves them to editors as a language server\n\
(kestcmd lsp). The package holds the C++ libraries libKestCmdEngine and\n\
libKestUtilities with their headers, CMake package and pkg-config file.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake | pkg-config, bash-completion")
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kestcmd
        RENAME copyright)
include(CPack)
