# Fails when a source file includes a header from a folder of a higher layer (or a sibling
# layer): dependencies point down only. Run as cmake -DSOURCE_DIR=src -P CheckLayers.cmake.
#
# Layers, lowest first; a folder may include its own folder and those of lower ranks.
#   codecs -1 | platform 0 | res 1 | node 2 | pages, calendar, settings, history 3
#   | sheet, control 4 | host 5
# codecs includes nothing of ours: the platform's desktop gives the PC's clock as its date-time.
set(rank_codecs -1)
set(rank_platform 0)
set(rank_res 1)
set(rank_node 2)
set(rank_pages 3)
set(rank_calendar 3)
set(rank_settings 3)
set(rank_history 3)
set(rank_sheet 4)
set(rank_control 4)
set(rank_host 5)

file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults "")
foreach(source ${sources})
  file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
  string(REGEX MATCH "^[a-z]+" me "${relative}")
  if(NOT DEFINED rank_${me})
    continue()
  endif()
  file(STRINGS "${source}" includes REGEX "^#include \"[a-z]+/")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" other "${line}")
    if(other STREQUAL me OR NOT DEFINED rank_${other})
      continue()
    endif()
    # The sheet and the control that opens it are one layer.
    if((me STREQUAL "sheet" AND other STREQUAL "control") OR
       (me STREQUAL "control" AND other STREQUAL "sheet"))
      continue()
    endif()
    if(NOT rank_${other} LESS rank_${me})
      list(APPEND faults "${relative} includes ${other}/")
    endif()
    # The host reaches the control only by loading its module.
    if(me STREQUAL "host" AND other MATCHES "^(control|sheet|pages|calendar)$")
      list(APPEND faults "${relative} includes ${other}/ (the host loads the module instead)")
    endif()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Includes that point up or sideways:\n  ${text}")
endif()
