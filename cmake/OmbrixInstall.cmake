# Files that name installed paths are filled in when they are installed, not when
# the build is configured: `cmake --install --prefix DIR` and the package (which
# installs under /usr) then get paths that exist on the machine they end up on.

# The installed folder of OMBRIX_<WHAT>_DIR, as code run at install time: the
# folder itself when it is set, else the program folder below the prefix, or
# SUBFOLDER of it.
function(ombrix_installed_folder variable what)
  if(OMBRIX_${what}_DIR)
    set(${variable} "${OMBRIX_${what}_DIR}" PARENT_SCOPE)
  else()
    string(JOIN / folder "\${CMAKE_INSTALL_PREFIX}/${OMBRIX_PROGRAM_DIR}" ${ARGN})
    set(${variable} "${folder}" PARENT_SCOPE)
  endif()
endfunction()

# ombrix_install_configured(TEMPLATE DESTINATION [GZIP]) installs TEMPLATE, without
# its ".in", into DESTINATION (below the prefix unless absolute), replacing @PREFIX@,
# @PROGRAM_FOLDER@, @BINDIR@, @STATE_FOLDER@, @CONFIG_FOLDER@, @KEYRING_FOLDER@ and
# @VERSION@ with the installed prefix, program folder, bin folder, the folders of
# state, configuration and shipped keys, and the project version. GZIP compresses it reproducibly, as manual pages are kept.
function(ombrix_install_configured template destination)
  get_filename_component(source ${template} ABSOLUTE)
  get_filename_component(name ${template} NAME)
  string(REGEX REPLACE "\\.in$" "" name ${name})
  if(NOT IS_ABSOLUTE ${destination})
    set(destination "\${CMAKE_INSTALL_PREFIX}/${destination}")
  endif()
  if(ARGV2 STREQUAL GZIP)
    set(compress "execute_process(COMMAND gzip -9nf \"\${target}\" COMMAND_ERROR_IS_FATAL ANY)
      string(APPEND target .gz)")
  endif()
  ombrix_installed_folder(state STATE)
  ombrix_installed_folder(config CONFIG)
  ombrix_installed_folder(keyring KEYRING update-keys)
  install(CODE "
    set(PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
    set(PROGRAM_FOLDER \"\${CMAKE_INSTALL_PREFIX}/${OMBRIX_PROGRAM_DIR}\")
    set(BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    set(STATE_FOLDER \"${state}\")
    set(CONFIG_FOLDER \"${config}\")
    set(KEYRING_FOLDER \"${keyring}\")
    set(VERSION \"${PROJECT_VERSION}\")
    set(target \"\$ENV{DESTDIR}${destination}/${name}\")
    configure_file(\"${source}\" \"\${target}\" @ONLY)
    ${compress}
    message(STATUS \"Installing: \${target}\")
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${target}\")
  ")
endfunction()

# ombrix_install_symlink(ORIGINAL LINK): LINK, below the prefix, made a symbolic
# link to ORIGINAL as written.
function(ombrix_install_symlink original link)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
    message(STATUS \"Installing: \${link} -> ${original}\")
    get_filename_component(folder \"\${link}\" DIRECTORY)
    file(MAKE_DIRECTORY \"\${folder}\")
    file(CREATE_LINK \"${original}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
  ")
endfunction()

# ombrix_install_link(PROGRAM): a relative link in the bin folder to PROGRAM in the
# program folder. The program finds its folder by resolving the link.
function(ombrix_install_link program)
  file(RELATIVE_PATH original /prefix/${CMAKE_INSTALL_BINDIR} /prefix/${OMBRIX_PROGRAM_DIR}/${program})
  ombrix_install_symlink(${original} ${CMAKE_INSTALL_BINDIR}/${program})
endfunction()
