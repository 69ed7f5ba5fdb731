# Delay-loaded system DLLs: a program linked with tessik_delayed_<dll> maps
# the DLL at the first call of one of its functions instead of at start.
# The delay-import library is made from the toolchain's own import library:
# nm lists its exports, a module definition names them, dlltool writes the
# library whose thunks load the DLL on demand (mingw-w64's delayimp).
#
#   tessik_delay_import(shell32)  ->  target tessik_delayed_shell32

set(TESSIK_DELAY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/WriteExportsDef.cmake)

function(tessik_delay_import dll)
  if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    message(FATAL_ERROR "delay imports need the toolchain's dlltool and nm")
  endif()
  find_library(TESSIK_IMPORT_LIB_${dll} NAMES lib${dll}.a REQUIRED)
  set(import ${TESSIK_IMPORT_LIB_${dll}})
  set(def ${CMAKE_BINARY_DIR}/delayimp/${dll}.def)
  set(lib ${CMAKE_BINARY_DIR}/delayimp/lib${dll}_delayed.a)
  # 32-bit names carry their stdcall decoration (@n), which the DLL's own
  # export names do not: -k takes it off the imported name.
  set(kill_at)
  set(underscored 0)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(kill_at -k)
    set(underscored 1)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT_LIB=${import} -DDLL=${dll}.dll -DDEF=${def} -DUNDERSCORED=${underscored}
            -P ${TESSIK_DELAY_SCRIPT}
    COMMAND ${CMAKE_DLLTOOL} --input-def ${def} --dllname ${dll}.dll ${kill_at} --output-delaylib ${lib}
    DEPENDS ${import} ${TESSIK_DELAY_SCRIPT}
    COMMENT "Delay-import library for ${dll}.dll"
    VERBATIM)
  add_custom_target(tessik_delayimp_${dll} DEPENDS ${lib})
  add_library(tessik_delayed_${dll} INTERFACE)
  add_dependencies(tessik_delayed_${dll} tessik_delayimp_${dll})
  target_link_libraries(tessik_delayed_${dll} INTERFACE ${lib} delayimp)
endfunction()

file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delayimp)
