# Runs tests/run_gtest.sh on a case of the runner checks that must fail:
# passes only when the runner ends with a non-zero status AND gives the
# verdict VERDICT, so that a run failing for another reason (the program not
# found, a wrong usage) does not count.
#   cmake -DRUNNER=... -DEMULATOR=... -DPROGRAM=... -DFILTER=... -DVERDICT=... -P expect_failure.cmake
execute_process(COMMAND bash ${RUNNER} ${EMULATOR} -- ${PROGRAM} --gtest_filter=${FILTER}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("${output}")
if(status EQUAL 0)
  message(FATAL_ERROR "run_gtest.sh passed ${FILTER}, which must fail")
endif()
string(FIND "${output}" "${VERDICT}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "run_gtest.sh failed ${FILTER} with status ${status}, but not saying \"${VERDICT}\"")
endif()
