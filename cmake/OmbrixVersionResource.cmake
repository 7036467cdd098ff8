# OMBRIX_WINDOWS_PROGRAMS: the programs of the release. Every one carries a
# version resource: its name, its maker and the project's version. Included once
# all programs are defined, so a program added later gets one without being
# named here.
set(OMBRIX_PUBLISHER Ombrix)
set(OMBRIX_COPYRIGHT "Copyright 2026 Ombrix developers")

# What Explorer and the task manager show as each program's description.
set(description_ombrix "Ombrix")
set(description_ombrix-quarantine-window "Ombrix Quarantine")
set(description_ombrix-scan "Ombrix scan from the command line")
set(description_ombrix-quarantine "Ombrix quarantine from the command line")
set(description_ombrix-settings "Ombrix settings from the command line")
set(description_update "Ombrix Update")

# The executables defined in FOLDER and below it.
function(ombrix_programs_in folder variable)
  get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
  set(programs)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL EXECUTABLE)
      list(APPEND programs ${target})
    endif()
  endforeach()
  get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
  foreach(subfolder IN LISTS subfolders)
    ombrix_programs_in(${subfolder} more)
    list(APPEND programs ${more})
  endforeach()
  set(${variable} ${programs} PARENT_SCOPE)
endfunction()

string(REPLACE . , version_commas "${PROJECT_VERSION}.0.0.0")
string(REGEX MATCH "^[0-9]+,[0-9]+,[0-9]+,[0-9]+" version_commas "${version_commas}")
# The same four numbers with full stops, as the installer's own resource takes them.
string(REPLACE , . OMBRIX_VERSION4 "${version_commas}")
set(OMBRIX_WINDOWS_PROGRAMS)
foreach(folder app quarantinewindow tools)
  ombrix_programs_in(${PROJECT_SOURCE_DIR}/${folder} programs)
  list(APPEND OMBRIX_WINDOWS_PROGRAMS ${programs})
  foreach(name IN LISTS programs)
    set(description "${description_${name}}")
    if(NOT description)
      set(description "Ombrix ${name}")
    endif()
    set(resource ${PROJECT_BINARY_DIR}/version/${name}.rc)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/OmbrixVersionResource.rc.in ${resource} @ONLY)
    target_sources(${name} PRIVATE ${resource})
  endforeach()
endforeach()
