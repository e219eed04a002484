# Writes the layout section of docs/architecture.md from the table of layers (Layers.cmake), or
# with -DCHECK=ON fails when the document's section differs from what the table gives.
# Run as cmake [-DCHECK=ON] -DDOC=docs/architecture.md -P LayersDoc.cmake.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

set(begin "<!-- layout: written from cmake/Layers.cmake by `cmake -DDOC=docs/architecture.md -P cmake/LayersDoc.cmake` -->")
set(end "<!-- end of layout -->")

# A column of names, "name, name", with "-" for none.
function(names out)
  list(JOIN ARGN ", " text)
  if(text STREQUAL "")
    set(text "-")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(section "${begin}\n\n| folder | library | what it is | links | links for itself | Qt |\n")
string(APPEND section "|---|---|---|---|---|---|\n")
foreach(folder ${VIREO_LAYERS})
  string(TOLOWER "${VIREO_LAYER_${folder}_KIND}" kind)
  string(REGEX REPLACE "[ \n]+" " " about "${VIREO_LAYER_${folder}_ABOUT}")
  names(links ${VIREO_LAYER_${folder}_LINKS} ${VIREO_LAYER_${folder}_EXTERNAL})
  names(private ${VIREO_LAYER_${folder}_PRIVATE} ${VIREO_LAYER_${folder}_PRIVATE_EXTERNAL})
  if(VIREO_LAYER_${folder}_QT)
    set(qt "may use Qt")
  else()
    set(qt "no Qt")
  endif()
  string(APPEND section
         "| src/${folder}/ | vireo_${folder} (${kind}) | ${about} | ${links} | ${private} | ${qt} |\n")
endforeach()
string(APPEND section "\n${end}")

file(READ ${DOC} text)
string(FIND "${text}" "${begin}" from)
string(FIND "${text}" "${end}" to)
if(from EQUAL -1 OR to LESS from)
  message(FATAL_ERROR "${DOC} has no layout section between\n  ${begin}\nand\n  ${end}")
endif()
string(LENGTH "${end}" endLength)
math(EXPR length "${to} + ${endLength} - ${from}")
string(SUBSTRING "${text}" ${from} ${length} current)
if(CHECK)
  if(NOT current STREQUAL section)
    message(FATAL_ERROR "The layout of ${DOC} is not the table of cmake/Layers.cmake; "
                        "write it again: cmake -DDOC=${DOC} -P cmake/LayersDoc.cmake")
  endif()
elseif(NOT current STREQUAL section)
  string(REPLACE "${current}" "${section}" text "${text}")
  file(WRITE ${DOC} "${text}")
endif()
