# System DLLs the program links to be loaded on their first call instead of
# at start. Under Wine, loading user32 (and everything that imports it:
# gdi32, gdiplus, comctl32, shell32, ole32...) starts the X11 driver, 90 to
# 220 ms of CPU; a reader process, the same executable, needs none of them
# unless it plays a metafile or resolves a shortcut. kernel32, advapi32 and
# msvcrt stay ordinary imports.
#
# glimmora_delay_load(TARGET dll...) makes a delay-import library for each
# DLL from its import library (scripts/make-delay-import-lib.sh) and links it
# to TARGET instead of the import library.
function(glimmora_delay_load target)
  set(dir ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${dir})
  set(outputs)
  foreach(dll ${ARGN})
    find_library(GLIMMORA_IMPORT_LIB_${dll} NAMES lib${dll}.a REQUIRED NO_CACHE)
    set(output ${dir}/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-delay-import-lib.sh ${CMAKE_NM} ${CMAKE_DLLTOOL}
              ${GLIMMORA_IMPORT_LIB_${dll}} ${dll}.dll ${output}
      DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-delay-import-lib.sh ${GLIMMORA_IMPORT_LIB_${dll}}
      COMMENT "Delay-import library for ${dll}.dll" VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${outputs})
  add_dependencies(${target} ${target}_delay_load)
  target_link_libraries(${target} PUBLIC ${outputs})
endfunction()
