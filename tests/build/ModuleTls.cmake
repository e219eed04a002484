# Fails when the module has a thread storage segment that the loader would allocate per thread
# on first use: a module with thread storage must carry the STATIC_TLS flag, which every
# initial-exec thread-local variable sets.
# Run as cmake -DREADELF=readelf -DMODULE=Vireo.so -P ModuleTls.cmake.
if(NOT READELF)
  message(FATAL_ERROR "readelf was not found (Debian: binutils)")
endif()
execute_process(COMMAND ${READELF} -lW ${MODULE} OUTPUT_VARIABLE segments RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf -l ${MODULE} failed")
endif()
if(NOT segments MATCHES "\n +TLS ")
  message(STATUS "${MODULE} has no thread storage")
  return()
endif()
execute_process(COMMAND ${READELF} -dW ${MODULE} OUTPUT_VARIABLE dynamic RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf -d ${MODULE} failed")
endif()
if(NOT dynamic MATCHES "\\(FLAGS\\)[^\n]*STATIC_TLS")
  execute_process(COMMAND ${READELF} -sW ${MODULE} OUTPUT_VARIABLE symbols)
  string(REGEX MATCHALL "[^\n]* TLS [^\n]*" variables "${symbols}")
  string(REPLACE ";" "\n" variables "${variables}")
  message(FATAL_ERROR "${MODULE} has thread storage the loader allocates on first use in a "
    "thread; declare its thread-local variables [[gnu::tls_model(\"initial-exec\")]]:\n"
    "${variables}")
endif()
message(STATUS "${MODULE}: its thread storage is static")
