# Installs the build into a staging root (DESTDIR, prefix /usr) and runs the installed vireo
# from there as a fresh user: no registry, no node state, no history yet.
# Usage: cmake -DBUILD_DIR=build -DWORKDIR=dir -DVERSION=x.y -P StagedRun.cmake

file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/home")
set(root "${WORKDIR}/root")
set(ENV{DESTDIR} "${root}")
set(ENV{HOME} "${WORKDIR}/home")
set(ENV{XDG_DATA_HOME} "${WORKDIR}/data")
set(ENV{XDG_STATE_HOME} "${WORKDIR}/state")
unset(ENV{VIREO_REGISTRY})
unset(ENV{VIREO_HISTORY})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${rc}):\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: expected '${pattern}' in:\n${text}")
  endif()
endfunction()

run(${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix /usr)
unset(ENV{DESTDIR})
foreach(file bin/vireo lib/vireo/Vireo.so lib/vireo/libvireo_framework.so
             lib/vireo/libvireo_platform.so share/applications/vireo.desktop
             share/icons/hicolor/64x64/apps/vireo.png share/icons/hicolor/scalable/apps/vireo.svg
             share/man/man1/vireo.1)
  if(NOT EXISTS "${root}/usr/${file}")
    message(FATAL_ERROR "cmake --install put no ${file} under ${root}/usr")
  endif()
endforeach()
set(vireo "${root}/usr/bin/vireo")

run(${vireo} --help)
expect("${out}" "export" "vireo --help")
# `--version` prints the project's version, once the command line has it.
if(out MATCHES "--version")
  run(${vireo} --version)
  expect("${out}" "^vireo ${VERSION}\n" "vireo --version")
endif()

# An export from a new node: the settings file's header names the node.
run(${vireo} node new "${WORKDIR}/node.json" --name Staged)
run(${vireo} export "${WORKDIR}/out.txt" --node "${WORKDIR}/node.json")
file(STRINGS "${WORKDIR}/out.txt" lines LIMIT_COUNT 8)
list(JOIN lines "\n" head)
expect("${head}" "^/////+ *\r?\n/ Exported from" "the exported file's first lines")
expect("${head}" "/ Program ID[^\n]*\n- 90 56 69 72 65 6F 4B 2A\r?\n/ Nodename[^\n]*\n- Staged\r?\n"
       "the exported file's Program ID and node name")

# The sheet's pictures need the plug-in: the installed vireo registers its own module on first
# use, in the user's registry, and finds it there.
run(${vireo} --screenshot "${WORKDIR}/shots")
set(module "${root}/usr/lib/vireo/Vireo.so")
set(registry "${WORKDIR}/data/vireo/registry.reg")
string(FIND "${err}" "registered the installed plug-in ${module} in ${registry}\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "the first use did not say that it registered ${module}:\n${err}")
endif()
file(READ "${registry}" registered)
string(FIND "${registered}" "${module}" at)
if(at EQUAL -1 OR NOT EXISTS "${WORKDIR}/shots/face.png")
  message(FATAL_ERROR "no registration of ${module} in ${registry}, or no face.png:\n${registered}")
endif()
