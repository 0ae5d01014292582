# Runs a command and compares its standard output and exit status with what is expected.
#   cmake -DCOMMAND="prog;arg;..." -DEXPECTED=file -DEXPECTED_STATUS=n -DACTUAL=file -P run_and_compare.cmake
execute_process(COMMAND ${COMMAND} OUTPUT_VARIABLE output RESULT_VARIABLE status)
file(WRITE "${ACTUAL}" "${output}")
file(READ "${EXPECTED}" expected)
if(NOT status STREQUAL "${EXPECTED_STATUS}")
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${output}")
endif()
if(NOT output STREQUAL expected)
    execute_process(COMMAND diff -u "${EXPECTED}" "${ACTUAL}" OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n${difference}")
endif()
