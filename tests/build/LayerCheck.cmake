# Writes one small source tree per case and runs the layer check on it: each wrong include must
# be refused with its reason, and a tree of right includes must pass.
# Run as cmake -DCHECK=CheckLayers.cmake -DWORKDIR=DIR -P LayerCheck.cmake.

# case name | file | its include line | the fault the check must report ("" for none)
set(cases
  "relative|pages/Pump.cpp|#include \"../node/NodeLink.h\"|includes ../node/NodeLink.h by a relative"
  "angle|pages/Pump.cpp|#include <node/NodeLink.h>|includes our node/NodeLink.h in angle brackets"
  "indented|node/Link.cpp|  #include \"pages/Pump.h\"|write the include at the line's start"
  "spaced|node/Link.cpp|# include \"pages/Pump.h\"|includes pages/, a layer not below its own"
  "upward|node/Link.cpp|#include \"pages/Pump.h\"|node/Link.cpp includes pages/, a layer not below"
  "sideways|pages/Pump.cpp|#include \"calendar/Week.h\"|includes calendar/, a layer not below"
  "host-to-plug-in|host/Plugin.cpp|#include \"sheet/Sheet.h\"|includes sheet/, a layer not below"
  "passed-on-privately|cli/Main.cpp|#include \"res/Strings.h\"|includes res/, a layer not below"
  "qt-in-pages|pages/Pump.cpp|#include <QWidget>|includes Qt's QWidget, in a folder that may not"
  "qt-in-calendar|calendar/Week.cpp|#include <qtconcurrentrun.h>|includes Qt's qtconcurrentrun.h"
  "qt-in-page|page/Page.h|#include <QtWidgets/QLabel>|includes Qt's QtWidgets/QLabel"
  "qt-in-platform|platform/Dialog.cpp|#include <QWidget>|"
  "outside-layers|tools/Tool.cpp|#include \"node/NodeLink.h\"|tools/Tool.cpp is in no layer's folder"
  "downward|pages/Pump.cpp|#include \"node/NodeLink.h\"|"
  "own-folder|pages/Pump.cpp|#include \"pages/Pump.h\"|"
  "system|node/Link.cpp|#include <vector>|")

set(failures "")
foreach(row ${cases})
  string(REPLACE "|" ";" fields "${row}")
  list(GET fields 0 name)
  list(GET fields 1 file)
  list(GET fields 2 line)
  list(LENGTH fields count)
  set(expected "")
  if(count GREATER 3)
    list(GET fields 3 expected)
  endif()
  set(tree ${WORKDIR}/${name})
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/${file} "// ${name}\n${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${CHECK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(expected STREQUAL "")
    if(NOT status EQUAL 0)
      list(APPEND failures "${name}: refused a right include:\n${out}")
    endif()
  else()
    string(FIND "${out}" "${expected}" at)
    if(status EQUAL 0 OR at EQUAL -1)
      list(APPEND failures "${name}: expected a refusal saying '${expected}', got:\n${out}")
    endif()
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
