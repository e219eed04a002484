# The command line against files that are not what they seem: output that cannot be written is
# a failure, a pipe where a file is read whole is refused at once (never waited on), a node's
# name and its state file's are shown with their control characters escaped, a channel rate and
# the plant's speed must be numbers that fit, and a file-size limit is a write error like any
# other, leaving no temporary file.
# Usage: cmake -DVIREO=path/to/vireo -DWORKDIR=folder -P CommandLineFiles.cmake

cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${WORKDIR})
file(MAKE_DIRECTORY ${WORKDIR}/nodes ${WORKDIR}/pipes/vireo)
set(ENV{XDG_STATE_HOME} ${WORKDIR})
set(ENV{XDG_DATA_HOME} ${WORKDIR})
set(ENV{XDG_CONFIG_HOME} ${WORKDIR})
set(ENV{VIREO_HISTORY} off)
set(node ${WORKDIR}/node.json)
set(network ${WORKDIR}/nodes)
string(ASCII 27 escape)

# expect(STATUS "TEXT" ARGS...): vireo ARGS ends with STATUS, in time, and says TEXT. With
# OUTPUT set to a file, standard output goes there.
function(expect status text)
  if(OUTPUT)
    execute_process(COMMAND ${VIREO} ${ARGN} OUTPUT_FILE ${OUTPUT} ERROR_VARIABLE err
                    RESULT_VARIABLE rc TIMEOUT 30)
  else()
    execute_process(COMMAND ${VIREO} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err
                    RESULT_VARIABLE rc TIMEOUT 30)
  endif()
  string(FIND "${out}${err}" "${text}" at)
  if(NOT rc STREQUAL status OR at EQUAL -1)
    message(SEND_ERROR "vireo ${ARGN}: status ${rc}, wanted ${status} and \"${text}\":\n${out}${err}")
  endif()
  # No name, of a node or of its file, reaches the terminal with its escape sequences.
  string(FIND "${out}${err}" "${escape}" raw)
  if(NOT raw EQUAL -1)
    message(SEND_ERROR "vireo ${ARGN} printed an escape sequence raw:\n${out}${err}")
  endif()
endfunction()

expect(0 "created" node new ${node} --name "Boiler${escape}[2J")
expect(0 "created" node new --network ${network} --name "Pump${escape}]0;x")
expect(0 "File written" export ${WORKDIR}/s.txt --node ${node} --quiet)
expect(0 "Node name:  Boiler\\x1b[2J\n" show ${WORKDIR}/s.txt)
expect(0 "Node name:  Boiler\\x1b[2J\n" node show --node ${node})
expect(0 "Pump\\x1b]0;x  90 56" nodes --network ${network})
expect(0 "/Pump\\x1b]0;x.json" nodes --network ${network})

foreach(speed nan inf -inf 0 -1 fast)
  expect(2 "--speed: how many times faster than real time, a number above 0; not ${speed}"
         --speed=${speed})
endforeach()

# Standard output on a full device: one line, and the status of a failure.
set(OUTPUT /dev/full)
set(lost "vireo: standard output could not be written")
expect(1 "${lost}" show ${WORKDIR}/s.txt)
expect(1 "${lost}" show --json ${WORKDIR}/s.txt)
expect(1 "${lost}" node show --node ${node})
expect(1 "${lost}" nodes --json --network ${network})
expect(1 "${lost}" export - --node ${node} --quiet)
expect(2 "${lost}" diff ${WORKDIR}/s.txt ${WORKDIR}/s.txt)
unset(OUTPUT)

# Pipes where files are read whole.
foreach(pipe ${WORKDIR}/pipe.json ${network}/Stray.json ${WORKDIR}/pipes/vireo/history.sqlite)
  execute_process(COMMAND mkfifo ${pipe} RESULT_VARIABLE rc)
endforeach()
expect(1 "pipe.json: cannot be read (not a regular file)" node show --node ${WORKDIR}/pipe.json)
expect(1 "not a regular file" export ${WORKDIR}/p.txt --node ${WORKDIR}/pipe.json)
expect(1 "Stray.json  (node state file ${network}/Stray.json: cannot be read (not a regular file))"
       nodes --network ${network})
expect(0 "created" node new --network ${network} --name Second)
set(ENV{VIREO_HISTORY} ${WORKDIR}/pipes/vireo/history.sqlite)
expect(1 "history.sqlite: not a regular file" history)
set(ENV{VIREO_HISTORY} off)

# A history listing on a site's node reads no channel secret: it talks to no node.
unset(ENV{DBUS_SESSION_BUS_ADDRESS})
file(WRITE ${WORKDIR}/vireo/sites/plant.json [=[{
  "vireoSite": 1, "source": "1/126", "domain": "-",
  "links": [{"channel": 1, "url": "lonip://127.0.0.1:1628", "authenticated": true}],
  "nodes": [{"name": "boiler", "neuronId": "05 01 00 00 00 01", "address": "1/5", "channel": 1}]
}
]=])
set(ENV{VIREO_HISTORY} ${WORKDIR}/no-history.sqlite)
expect(0 "no write history yet" history --site plant --node boiler)
expect(1 "the site plant has no node named pump" history --site plant --node pump)
set(ENV{VIREO_HISTORY} off)

# A file-size limit a save meets is its failure, not a signal that leaves its temporary.
execute_process(COMMAND sh -c "ulimit -f 1 && exec \"$0\" \"$@\"" ${VIREO} node new
                        ${WORKDIR}/big.json
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
file(GLOB left ${WORKDIR}/.big.json.*)
string(FIND "${err}" "File too large" at)
if(NOT rc STREQUAL 1 OR at EQUAL -1 OR left OR EXISTS ${WORKDIR}/big.json)
  message(SEND_ERROR "node new under ulimit -f: status ${rc}, left ${left}:\n${out}${err}")
endif()
