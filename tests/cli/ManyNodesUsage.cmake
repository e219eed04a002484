# The command line of the operations on many nodes: options that do not go together end with one
# line naming the mistake and status 2, before any node is touched; a network without nodes, and
# a name a network has already, are refused with status 1.
# Usage: cmake -DVIREO=path/to/vireo -DWORKDIR=folder -P ManyNodesUsage.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR})
set(ENV{XDG_STATE_HOME} ${WORKDIR})
set(ENV{XDG_DATA_HOME} ${WORKDIR})
set(ENV{VIREO_HISTORY} off)
set(network ${WORKDIR}/site/nodes)

# expect(STATUS "TEXT" ARGS...): vireo ARGS ends with STATUS and says TEXT.
function(expect status text)
  execute_process(COMMAND ${VIREO} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err
                  RESULT_VARIABLE rc)
  string(FIND "${out}${err}" "${text}" at)
  if(NOT rc EQUAL status OR at EQUAL -1)
    message(SEND_ERROR "vireo ${ARGN}: status ${rc}, wanted ${status} and \"${text}\":\n${out}${err}")
  endif()
endfunction()

expect(2 "--out DIR is needed with --nodes or --all" export --all)
expect(2 "with --nodes or --all the settings files go into --out DIR" export x.txt --nodes A --out d)
expect(2 "FILE is required" export)
expect(2 "--jobs goes with --nodes or --all" export x.txt --jobs 3)
expect(2 "--json goes with --nodes or --all" defaults --json)
expect(2 "--dry-run looks at one node" download x.txt --all --dry-run)
expect(2 "--node names one node" defaults --all --node x.json)
expect(2 "--all" export --nodes A --all --out d)
foreach(rate nan 1e-300 0.5 2e6 -1)
  expect(2 "--channel-rate: node transactions a second, 1 to 1000000, or 0 for no limit; not ${rate}"
         export --all --out d --channel-rate=${rate})
endforeach()
expect(1 "has no nodes" export --all --network ${network} --out ${WORKDIR}/out)
expect(0 "Node A created in ${network}/A.json" node new --network ${network} --name A)
expect(1 "has a node named A already" node new --network ${network} --name A)
expect(1 "no node named B in the network ${network} (its nodes: A)"
       export --nodes B --network ${network} --out ${WORKDIR}/out)
expect(0 "A     90 56 69 72 65 6F 4B 2A  ${network}/A.json" nodes --network ${network})
if(EXISTS ${WORKDIR}/out)
  message(SEND_ERROR "a refused command made its --out folder")
endif()
