# Runs the layer check over a copy of the source tree: the copy as it is passes, and a Qt header
# planted in one file of each Qt-free page folder is refused, naming that file.
# Run as cmake -DCHECK=CheckLayers.cmake -DSOURCE=src -DWORKDIR=DIR -P QtFreeCheck.cmake.
cmake_minimum_required(VERSION 3.25)
set(copy ${WORKDIR}/src)
file(REMOVE_RECURSE ${WORKDIR})
file(COPY ${SOURCE}/ DESTINATION ${copy})

function(run_check out status)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${copy} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(${out} "${text}" PARENT_SCOPE)
  set(${status} ${result} PARENT_SCOPE)
endfunction()

run_check(out status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the copy of the tree as it is was refused:\n${out}")
endif()
foreach(folder page pages calendar)
  file(GLOB files ${copy}/${folder}/*.cpp)
  list(GET files 0 file)
  file(READ ${file} original)
  file(WRITE ${file} "#include <QPushButton>\n${original}")
  run_check(out status)
  file(WRITE ${file} "${original}")
  file(RELATIVE_PATH relative ${copy} ${file})
  string(FIND "${out}" "${relative} includes Qt's QPushButton" at)
  if(status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "a Qt include in ${relative} was not refused:\n${out}")
  endif()
endforeach()
