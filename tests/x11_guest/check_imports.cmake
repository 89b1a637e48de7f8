# XInitThreads must be a process's first Xlib call; a plug-in loaded into a
# host that has opened its display already must not make it. Fails when the
# library imports it.
execute_process(COMMAND nm -D --undefined-only ${LIB} OUTPUT_VARIABLE symbols RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIB}")
endif()
if(NOT symbols MATCHES "XOpenDisplay")
  message(FATAL_ERROR "no Xlib imports seen in ${LIB}: is this the plug-in?")
endif()
if(symbols MATCHES "XInitThreads")
  message(FATAL_ERROR "${LIB} imports XInitThreads")
endif()
message(STATUS "${LIB} does not import XInitThreads")
