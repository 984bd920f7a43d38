# Install layout and packages.
#
# The scanner's home folder holds the program and everything it reads at run time, laid
# out so that a run with no environment at all, started in that folder, finds it:
#   attrscan[.exe]             the program
#   conf/nativelog.properties  trace configuration, read as <home>/conf/ (home "." by default)
#   gxgmsg.cat                 the C message catalog, found as "%N.cat" in the working folder
#   msg/<locale>/gxgmsg.cat    every locale's catalog, for NLSPATH=<home>/msg/%L/%N.cat
#   aliases, DEFAULT, 1252...  codeset tables and the aliases file, looked for in the working
#                              folder and in NLQDIR
# In the Windows archive the home is the archive's root; in a POSIX install it is
# <prefix>/lib/attrscan, with the simulated HBA library in its private folder sim/, the
# tools in <prefix>/bin and the sample worlds in <prefix>/share/attrscan/worlds.
#
# Components: scanner (program, data, configuration), sim (simulated HBA library, sample
# worlds, and on POSIX the attrscan-sim wrapper), tools (POSIX only). The Windows build
# packs scanner and sim into two zip files; the POSIX build packs everything into one
# Debian package.
#
# Adding a tool to the Debian package is one line at the end of this file:
#   attrscan_install_tool(<target> MANPAGE docs/man/<target>.1 [DEPENDS <debian packages>])
# (a script instead of a built target: add PROGRAM tools/<dir>/<script>).
# The program goes to <prefix>/bin, its manual page to section 1, and the Debian packages
# named by DEPENDS (programs it runs; shared libraries are found by dpkg-shlibdeps) join
# the package's dependencies. The package test expects every listed tool's --help to exit
# with 0 and name the tool.

include(GNUInstallDirs)

if(WIN32)
  set(ATTRSCAN_HOME_DIR .)
  set(ATTRSCAN_SIM_DIR .)
  set(ATTRSCAN_WORLDS_DIR worlds)
else()
  set(ATTRSCAN_HOME_DIR lib/attrscan)
  set(ATTRSCAN_SIM_DIR lib/attrscan/sim)
  set(ATTRSCAN_WORLDS_DIR ${CMAKE_INSTALL_DATADIR}/attrscan/worlds)
endif()
set(ATTRSCAN_MAN_BUILD_DIR ${CMAKE_BINARY_DIR}/man)

# Manual pages are installed gzip-compressed, as Debian keeps them.
function(attrscan_manpage source)
  if(WIN32)
    return()
  endif()
  get_filename_component(_name ${source} NAME)
  if(NOT IS_ABSOLUTE ${source})
    set(source ${PROJECT_SOURCE_DIR}/${source})
  endif()
  set(_gz ${ATTRSCAN_MAN_BUILD_DIR}/${_name}.gz)
  add_custom_command(
    OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ATTRSCAN_MAN_BUILD_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${ATTRSCAN_MAN_BUILD_DIR}/${_name}
    COMMAND gzip -9nf ${ATTRSCAN_MAN_BUILD_DIR}/${_name}
    DEPENDS ${source}
    VERBATIM)
  string(MAKE_C_IDENTIFIER ${_name} _id)
  add_custom_target(man_${_id} ALL DEPENDS ${_gz})
  cmake_parse_arguments(M "" "COMPONENT" "" ${ARGN})
  install(FILES ${_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${M_COMPONENT})
endfunction()

# attrscan_install_tool(name MANPAGE file [PROGRAM script] [DEPENDS debian-package ...]):
# see above. `name` is a target of this build, or with PROGRAM the script installed
# under that name. The Windows build packs no tools.
function(attrscan_install_tool name)
  cmake_parse_arguments(T "" "MANPAGE;PROGRAM" "DEPENDS" ${ARGN})
  if(WIN32)
    return()
  endif()
  if(NOT T_MANPAGE)
    message(FATAL_ERROR "attrscan_install_tool(${name}): every packaged tool has a manual page")
  endif()
  if(T_PROGRAM)
    if(NOT IS_ABSOLUTE ${T_PROGRAM})
      set(T_PROGRAM ${PROJECT_SOURCE_DIR}/${T_PROGRAM})
    endif()
    install(PROGRAMS ${T_PROGRAM} DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME ${name} COMPONENT tools)
  elseif(TARGET ${name})
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  else()
    message(FATAL_ERROR "attrscan_install_tool(${name}): no such target; give PROGRAM for a script")
  endif()
  attrscan_manpage(${T_MANPAGE} COMPONENT tools)
  set_property(GLOBAL APPEND PROPERTY ATTRSCAN_PACKAGED_TOOLS ${name})
  set_property(GLOBAL APPEND PROPERTY ATTRSCAN_PACKAGE_DEPENDS ${T_DEPENDS})
endfunction()

# ---- scanner -----------------------------------------------------------------------------
install(TARGETS attrscan RUNTIME DESTINATION ${ATTRSCAN_HOME_DIR} COMPONENT scanner)
install(FILES ${PROJECT_SOURCE_DIR}/conf/nativelog.properties
        DESTINATION ${ATTRSCAN_HOME_DIR}/conf COMPONENT scanner)
# Codeset tables, the aliases file and the DEFAULT/OSDEFAULT redirects, as the build made them.
install(DIRECTORY ${CMAKE_BINARY_DIR}/data/codeset/
        DESTINATION ${ATTRSCAN_HOME_DIR} COMPONENT scanner)
# Catalogs: every locale under msg/, and the C catalog once more in the home itself, where
# the search looks when NLSPATH is not set.
file(GLOB _catalog_sources RELATIVE ${PROJECT_SOURCE_DIR}/data/catalogs
     CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/catalogs/*/*.msg)
foreach(_source IN LISTS _catalog_sources)
  get_filename_component(_locale ${_source} DIRECTORY)
  get_filename_component(_name ${_source} NAME_WE)
  set(_cat ${CMAKE_BINARY_DIR}/data/msg/${_locale}/${_name}.cat)
  install(FILES ${_cat} DESTINATION ${ATTRSCAN_HOME_DIR}/msg/${_locale} COMPONENT scanner)
  if(_locale STREQUAL "C")
    install(FILES ${_cat} DESTINATION ${ATTRSCAN_HOME_DIR} COMPONENT scanner)
  endif()
endforeach()

if(WIN32)
  # How an agent calls the program, in the archive's root, with Windows line ends.
  set(_readme ${CMAKE_BINARY_DIR}/packaging/README.txt)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/README-windows.txt.in ${_readme} @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${_readme} DESTINATION . COMPONENT scanner)
else()
  attrscan_manpage(docs/man/attrscan.1 COMPONENT scanner)
endif()

# ---- sim ---------------------------------------------------------------------------------
install(TARGETS sansim_hbaapi
        RUNTIME DESTINATION ${ATTRSCAN_SIM_DIR} COMPONENT sim
        LIBRARY DESTINATION ${ATTRSCAN_SIM_DIR} COMPONENT sim)
file(GLOB _worlds CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/worlds/*.json)
install(FILES ${_worlds} DESTINATION ${ATTRSCAN_WORLDS_DIR} COMPONENT sim)
if(NOT WIN32)
  # The vendor-library form, for Debian's wrapper library through an hba.conf line.
  install(TARGETS sansim_vendor LIBRARY DESTINATION ${ATTRSCAN_SIM_DIR} COMPONENT sim)
  # The one-command simulated scan: finds the home relative to its own folder, so it
  # works from any prefix.
  file(RELATIVE_PATH ATTRSCAN_BIN_TO_HOME /${CMAKE_INSTALL_BINDIR} /${ATTRSCAN_HOME_DIR})
  file(RELATIVE_PATH ATTRSCAN_BIN_TO_WORLDS /${CMAKE_INSTALL_BINDIR} /${ATTRSCAN_WORLDS_DIR})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/attrscan-sim.in
                 ${CMAKE_BINARY_DIR}/packaging/attrscan-sim @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/attrscan-sim
          DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT sim)
  attrscan_manpage(docs/man/attrscan-sim.1 COMPONENT sim)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/world-format.md ${PROJECT_SOURCE_DIR}/docs/world-host.md
          DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT sim)
  file(GLOB _schemas ${PROJECT_SOURCE_DIR}/docs/world*.schema.json)
  install(FILES ${_schemas} DESTINATION ${CMAKE_INSTALL_DOCDIR}/schema COMPONENT sim)
endif()

# ---- packages ----------------------------------------------------------------------------
set(CPACK_PACKAGE_NAME attrscan)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "attrscan developers")
set(CPACK_PACKAGE_CONTACT "attrscan developers <attrscan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SAN attribute scanner with a simulated host and SAN")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_COMPONENTS_ALL scanner sim)
  set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_ARCHIVE_SCANNER_FILE_NAME attrscan-${PROJECT_VERSION}-win64)
  set(CPACK_ARCHIVE_SIM_FILE_NAME attrscan-${PROJECT_VERSION}-win64-sim)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_COMPONENTS_ALL scanner sim tools)
  set(CPACK_DEB_COMPONENT_INSTALL OFF)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DESCRIPTION
      "The attribute scanner of a SAN management agent, built for Linux: it reads the host\n"
      "and its Fibre Channel SAN from a world file through a simulated HBA library and\n"
      "prints one XML document. With the simulated library, sample worlds, a world\n"
      "generator, the codeset and catalog compilers and the codeset converter.")
  string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
endif()

# ---- tools (one line each) ---------------------------------------------------------------
attrscan_install_tool(nlqconv MANPAGE docs/man/nlqconv.1)
attrscan_install_tool(mkcatalog MANPAGE docs/man/mkcatalog.1)
attrscan_install_tool(mkcodeset MANPAGE docs/man/mkcodeset.1)
attrscan_install_tool(worldgen MANPAGE docs/man/worldgen.1)

# Everything above has registered itself; the dependencies and the tool list are final.
get_property(_extra_depends GLOBAL PROPERTY ATTRSCAN_PACKAGE_DEPENDS)
if(_extra_depends)
  list(REMOVE_DUPLICATES _extra_depends)
  string(REPLACE ";" ", " CPACK_DEBIAN_PACKAGE_DEPENDS "${_extra_depends}")
endif()
get_property(_tools GLOBAL PROPERTY ATTRSCAN_PACKAGED_TOOLS)
string(REPLACE ";" "\n" _tools "${_tools}")
file(WRITE ${CMAKE_BINARY_DIR}/packaging/tools.txt "${_tools}\n")

include(CPack)
