# cmake -DROOT=<source folder> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
# Fails when a file includes a header of a layer its own layer may not use (Layers.cmake), when a
# helper program includes a header that is neither its own nor the contract's, or when any of our
# sources, tests and tools included, names a header through "..": a path that climbs out of the
# including file's folder is found beside that file before any include root is searched, so the
# roots cannot refuse it, and it could reach any layer or program.
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(faults "")
foreach(folder ${PAGEMINT_LAYER_FOLDERS} ${PAGEMINT_UNLAYERED_FOLDERS})
  get_filename_component(layer ${folder} NAME)
  set(allowed ${layer} ${PAGEMINT_LAYERS_${layer}})
  string(REPLACE ";" " " allowedText "${allowed}")
  file(GLOB_RECURSE files ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(file ${files})
    file(RELATIVE_PATH shown ${ROOT} ${file})
    if(shown MATCHES "^tests/fixtures/")
      continue() # faults kept on purpose, for the check's own tests
    endif()
    file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" header "${line}")
      if(header MATCHES "(^|/)\\.\\.(/|$)")
        list(APPEND faults "${shown}: ${header} (no \"..\" in an include: name the header from an include root)")
      elseif(NOT folder IN_LIST PAGEMINT_LAYER_FOLDERS)
        # Tests and tools are no layer: only the rule above holds for them.
      elseif(header MATCHES "^([A-Za-z_]+)/")
        set(used ${CMAKE_MATCH_1})
        if(NOT used IN_LIST allowed)
          list(APPEND faults "${shown}: ${header} (${layer} may use: ${allowedText})")
        endif()
      else()
        # A header without a folder belongs to the including file's own folder or its program's.
        get_filename_component(here ${file} DIRECTORY)
        if(NOT EXISTS ${here}/${header} AND NOT EXISTS ${ROOT}/${folder}/${header})
          list(APPEND faults "${shown}: ${header} is not in ${folder}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " shown)
  message(FATAL_ERROR "Includes across layers:\n  ${shown}")
endif()
