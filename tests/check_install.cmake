# Installs the build into a scratch prefix and runs the installed program on the sample.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DSCRATCH=... -P check_install.cmake
file(REMOVE_RECURSE ${SCRATCH})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${SCRATCH}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(installed bin/relabel share/man/man1/relabel.1)
  if(NOT EXISTS ${SCRATCH}/usr/${installed})
    message(FATAL_ERROR "${installed} was not installed")
  endif()
endforeach()
file(WRITE ${SCRATCH}/enter "\n")
execute_process(COMMAND ${SCRATCH}/usr/bin/relabel ${SOURCE_DIR}/examples/sample.lst ${SCRATCH}/out.lst
                INPUT_FILE ${SCRATCH}/enter RESULT_VARIABLE result OUTPUT_QUIET)
# Read as hex, so the CR LF line end is compared byte for byte: TAB LD TAB R1 #0 CR LF.
file(READ ${SCRATCH}/out.lst relabelled HEX)
if(NOT result EQUAL 0 OR NOT relabelled MATCHES "^094c440952312023300d0a")
  message(FATAL_ERROR "the installed relabel did not relabel the sample (status ${result})")
endif()
file(REMOVE_RECURSE ${SCRATCH})
