# Where an installed copy keeps its pieces (GNU folder names; DESTDIR and
# CMAKE_INSTALL_PREFIX as usual), and the generated header that tells the
# programs the same, relative to the folder of their executables.
include(GNUInstallDirs)
set(TESSARO_INSTALL_SHAREDIR ${CMAKE_INSTALL_DATADIR}/tessaro)
set(TESSARO_INSTALL_HELPERDIR ${CMAKE_INSTALL_LIBEXECDIR}/tessaro)
file(RELATIVE_PATH TESSARO_REL_SHARED ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/tessaro)
file(RELATIVE_PATH TESSARO_REL_HELPERS ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tessaro)
configure_file(${CMAKE_CURRENT_LIST_DIR}/installlayout.h.in
               ${CMAKE_BINARY_DIR}/generated/installlayout.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
