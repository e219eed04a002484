# Fails when a source file includes a header in a way the compiler's include folders cannot
# refuse, from a folder its own does not link (dependencies point down only), or a Qt header in a
# folder that may not use Qt. Run as cmake -DSOURCE_DIR=src -P CheckLayers.cmake.
#
# Each folder is a library whose include folder holds only that folder, so the compiler already
# refuses "folder/File.h" of a layer the library does not link. What it cannot see is checked
# here: an include by a relative path ("../pages/File.h", which the including file's own folder
# resolves), our headers in angle brackets, an include written indented or as "# include" (so
# that no include hides from this check), an include of a folder not linked (a folder the
# compiler lets through because a library it links passes it on privately), and Qt's headers
# (<QWidget>, <qtconcurrentrun.h>) where the table of layers says the folder is Qt-free: page,
# pages and calendar see Qt's headers through the layers they link, yet reach widgets only by
# the platform's control ids. The layers and their links are cmake/Layers.cmake's table.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)
foreach(folder ${VIREO_LAYERS})
  vireo_reachable(${folder} reach_${folder})
endforeach()

file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults "")
foreach(source ${sources})
  file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
  string(REGEX MATCH "^[a-z]+" me "${relative}")
  if(NOT me IN_LIST VIREO_LAYERS)
    list(APPEND faults "${relative} is in no layer's folder")
    continue()
  endif()
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(NOT line MATCHES "^#include ")
      list(APPEND faults "${relative}: write the include at the line's start as #include: ${line}")
    endif()
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^\">]*)[\">]")
      list(APPEND faults "${relative}: an include of neither \"file\" nor <file>: ${line}")
      continue()
    endif()
    set(quote "${CMAKE_MATCH_1}")
    set(path "${CMAKE_MATCH_2}")
    if(quote STREQUAL "<" AND path MATCHES "^(Q|qt)" AND NOT VIREO_LAYER_${me}_QT)
      list(APPEND faults "${relative} includes Qt's ${path}, in a folder that may not use Qt")
      continue()
    endif()
    if(path MATCHES "(^|/)\\.\\.?/" OR path MATCHES "^/")
      list(APPEND faults "${relative} includes ${path} by a relative or absolute path")
      continue()
    endif()
    string(REGEX MATCH "^[a-z]+/" folder "${path}")
    string(REGEX REPLACE "/$" "" other "${folder}")
    if(other STREQUAL "" OR NOT other IN_LIST VIREO_LAYERS)
      continue()
    endif()
    if(quote STREQUAL "<")
      list(APPEND faults "${relative} includes our ${path} in angle brackets")
    endif()
    if(other STREQUAL me)
      continue()
    endif()
    if(NOT other IN_LIST reach_${me})
      list(JOIN reach_${me} ", " linked)
      list(APPEND faults
           "${relative} includes ${other}/, a layer not below its own (${me} reaches ${linked})")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that point up or sideways, that the compiler cannot check, or of Qt where no Qt belongs:\n  ${text}")
endif()
