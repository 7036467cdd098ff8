# Files that name installed paths are filled in when they are installed, not when
# the build is configured: `cmake --install --prefix DIR` and cpack (which installs
# under /usr) then get paths that exist on the machine they end up on.
#
# ombrix_install_configured(TEMPLATE DESTINATION [GZIP]) installs TEMPLATE, without
# its ".in", into DESTINATION below the prefix, replacing @PREFIX@, @PROGRAM_FOLDER@,
# @BINDIR@ and @VERSION@ with the installed prefix, program folder, bin folder and
# the project version. GZIP compresses it reproducibly, as manual pages are kept.
function(ombrix_install_configured template destination)
  get_filename_component(source ${template} ABSOLUTE)
  get_filename_component(name ${template} NAME)
  string(REGEX REPLACE "\\.in$" "" name ${name})
  if(ARGV2 STREQUAL GZIP)
    set(compress "execute_process(COMMAND gzip -9nf \"\${target}\" COMMAND_ERROR_IS_FATAL ANY)
      string(APPEND target .gz)")
  endif()
  install(CODE "
    set(PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(PROGRAM_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${OMBRIX_PROGRAM_DIR}\")
    set(BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(VERSION \"${PROJECT_VERSION}\")
    set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${destination}/${name}\")
    configure_file(\"${source}\" \"\${target}\" @ONLY)
    ${compress}
    message(STATUS \"Installing: \${target}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${target}\")
  ")
endfunction()

# ombrix_install_link(PROGRAM): a relative link in the bin folder to PROGRAM in the
# program folder. The program finds its folder by resolving the link.
function(ombrix_install_link program)
  file(RELATIVE_PATH original /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${OMBRIX_PROGRAM_DIR}/${program})
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    message(STATUS \"Installing: \${link} -> ${original}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"${original}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
  ")
endfunction()
