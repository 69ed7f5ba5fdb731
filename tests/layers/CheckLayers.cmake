# The house drawn from the includes: every product folder includes only its
# own headers and those of the layers below it (README, Layout). Run as
# cmake -DROOT=<source tree> -P CheckLayers.cmake; fails naming each include
# that runs up or sideways.

# Folder, then the folders it may include besides itself, lowest first.
set(layers
  "common|-"
  "settings|common"
  "filters|common,settings"
  "archivers/dlls|common"
  "archivers/lists|common"
  "archivers/formatsettings|common,settings"
  "archivers/formats|common,settings,archivers/dlls,archivers/lists,archivers/formatsettings"
  "job|common,settings,filters,archivers/dlls,archivers/lists,archivers/formatsettings,archivers/formats"
  "ui/framework|common,settings,filters,resources"
  "ui/filtereditors|common,settings,filters,resources,ui/framework"
  "ui/settingsdialog|common,settings,filters,archivers/dlls,archivers/lists,archivers/formatsettings,archivers/formats,resources,ui/framework,ui/filtereditors"
  "ui/jobdialogs|common,settings,filters,archivers/dlls,archivers/lists,archivers/formatsettings,archivers/formats,job,resources,ui/framework,ui/filtereditors"
  "app|common,settings,filters,archivers/dlls,archivers/lists,archivers/formatsettings,archivers/formats,job,resources,ui/framework,ui/filtereditors,ui/settingsdialog,ui/jobdialogs"
  "shellext|common"
  "dllkit|common"
  "tessikzip|common,dllkit"
  "tessik7z|common,dllkit"
  "bridges/core|common,dllkit"
  "bridges/dlls|common,dllkit,bridges/core"
)

set(faults "")
foreach(layer IN LISTS layers)
  string(REPLACE "|" ";" parts "${layer}")
  list(GET parts 0 folder)
  list(GET parts 1 below)
  string(REPLACE "," ";" below "${below}")
  set(allowed "${folder}" ${below})
  file(GLOB sources "${ROOT}/${folder}/*.cpp" "${ROOT}/${folder}/*.h")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" includes REGEX "^#include \"[^\"]+\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" header "${line}")
      get_filename_component(headerFolder "${header}" DIRECTORY)
      list(FIND allowed "${headerFolder}" at)
      if(at EQUAL -1)
        file(RELATIVE_PATH shown "${ROOT}" "${source}")
        list(APPEND faults "${shown} includes ${header}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  string(REPLACE ";" "\n  " text "${faults}")
  message(FATAL_ERROR "Includes that run up the layers:\n  ${text}")
endif()
message(STATUS "Every include runs down the layers.")
