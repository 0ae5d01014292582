# Runs a command and compares its standard output, byte for byte, and its exit status with what
# is expected.
#   cmake -DCOMMAND="prog;arg;..." -DEXPECTED=file -DEXPECTED_STATUS=n -DACTUAL=file
#         [-DMASK=text -DMASK_AS=text] -P run_and_compare.cmake
# The output goes to the ACTUAL file untouched (a CMake string would stop at a NUL byte, and
# reading one drops carriage returns). With MASK, every occurrence of that text (a folder of this
# machine, without "|") is written as MASK_AS first, so the expected file reads the same
# everywhere.
execute_process(COMMAND ${COMMAND} OUTPUT_FILE "${ACTUAL}" RESULT_VARIABLE status)
if(NOT status STREQUAL "${EXPECTED_STATUS}")
    file(READ "${ACTUAL}" output)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED_STATUS}\n${output}")
endif()
if(DEFINED MASK)
    string(REGEX REPLACE "([].[*^$\\])" "\\\\\\1" pattern "${MASK}")
    execute_process(COMMAND sed -i "s|${pattern}|${MASK_AS}|g" "${ACTUAL}" RESULT_VARIABLE masked)
    if(masked)
        message(FATAL_ERROR "cannot mask ${MASK} in ${ACTUAL}")
    endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${EXPECTED}" "${ACTUAL}"
                RESULT_VARIABLE differ)
if(differ)
    execute_process(COMMAND diff -u --text "${EXPECTED}" "${ACTUAL}" OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "output differs from ${EXPECTED}:\n${difference}")
endif()
