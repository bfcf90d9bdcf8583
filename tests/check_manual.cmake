# Checks the manual page: groff finds nothing to warn about, and the EXIT STATUS section names
# every exit status the program defines.
#   cmake -DMANUAL=man/relabel.1 -DEXIT_STATUSES=src/driver/exit_status.h -P check_manual.cmake
execute_process(COMMAND groff -man -ww -z ${MANUAL}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
  message(FATAL_ERROR "groff warns about ${MANUAL}:\n${out}${err}")
endif()

file(READ ${MANUAL} page)
string(FIND "${page}" "\n.SH EXIT STATUS\n" start)
if(start EQUAL -1)
  message(FATAL_ERROR "${MANUAL} has no EXIT STATUS section")
endif()
string(SUBSTRING "${page}" ${start} -1 section)
string(SUBSTRING "${section}" 1 -1 section)
string(FIND "${section}" "\n.SH " end)  # the next section
string(SUBSTRING "${section}" 0 ${end} section)

file(STRINGS ${EXIT_STATUSES} lines REGEX "= [0-9]+,")
if(NOT lines)
  message(FATAL_ERROR "no exit statuses found in ${EXIT_STATUSES}")
endif()
foreach(line IN LISTS lines)
  string(REGEX MATCH "= ([0-9]+)," _ "${line}")
  set(status ${CMAKE_MATCH_1})
  if(NOT section MATCHES "\n\\.B ${status}\n")
    message(FATAL_ERROR "the EXIT STATUS section of ${MANUAL} does not name status ${status}")
  endif()
endforeach()
