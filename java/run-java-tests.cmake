# Runs the Java tests in a JVM with JNI checking switched on and fails when the JVM fails or
# when its output carries a JNI warning. Invoked by ctest as
#   cmake -DJAVA=... -DJUNIT_JAR=... -DCLASS_PATH=... -DTEST_JAR=... -DLIBRARY=...
#         -DLOG_FILE=... [-DWORKING_DIRECTORY=...] -P run-java-tests.cmake
# CLASS_PATH uses the platform path separator (":" on Linux).

foreach(name JAVA JUNIT_JAR CLASS_PATH TEST_JAR LIBRARY LOG_FILE)
    if(NOT DEFINED ${name} OR "${${name}}" STREQUAL "")
        message(FATAL_ERROR "run-java-tests.cmake: ${name} is not set")
    endif()
endforeach()
if(NOT EXISTS "${LIBRARY}")
    message(FATAL_ERROR "native library not built: ${LIBRARY}")
endif()
if(NOT DEFINED WORKING_DIRECTORY)
    get_filename_component(WORKING_DIRECTORY "${LOG_FILE}" DIRECTORY)
endif()

execute_process(
    COMMAND "${JAVA}" -Xcheck:jni -Djava.awt.headless=true "-Dlumo.library.path=${LIBRARY}"
            -jar "${JUNIT_JAR}"
            --class-path "${CLASS_PATH}"
            "--scan-class-path=${TEST_JAR}"
            --fail-if-no-tests
            --disable-banner
            --details=tree
    WORKING_DIRECTORY "${WORKING_DIRECTORY}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)

file(WRITE "${LOG_FILE}" "${output}")
# Print the output verbatim on standard output.
execute_process(COMMAND "${CMAKE_COMMAND}" -E cat "${LOG_FILE}")

set(problems "")
if(NOT result EQUAL 0)
    list(APPEND problems "the test JVM exited with ${result}")
endif()
# Checked JNI reports misuse as "WARNING in native method: ..." or, for fatal misuse,
# "FATAL ERROR in native method: ...", followed by the Java stack; its other reports are lines
# starting with "WARNING" or "Warning" (JNI calls inside a critical region, for one). Reports
# whose first frame is a native method of the JDK itself (its font scaler, when the tests draw
# text through Java 2D for comparison) are the JDK's own and are counted, not failed.
string(REGEX MATCHALL "(WARNING|FATAL ERROR) in native method[^\n]*\n[^\n]*" reports
    "${output}")
set(misuse "")
set(jdk_reports 0)
foreach(report IN LISTS reports)
    if(report MATCHES "^WARNING[^\n]*\n[ \t]*at (java|javax|sun|jdk)\\.[^\n]*Native Method")
        math(EXPR jdk_reports "${jdk_reports} + 1")
    else()
        list(APPEND misuse "${report}")
    endif()
endforeach()
string(REGEX MATCHALL "(^|\n)[Ww][Aa][Rr][Nn][Ii][Nn][Gg][^\n]*" warnings "${output}")
list(FILTER warnings EXCLUDE REGEX "WARNING in native method")
if(jdk_reports GREATER 0)
    message(STATUS "${jdk_reports} JNI warnings raised inside the JDK's own native methods")
endif()
if(misuse OR warnings)
    list(APPEND problems "the JVM reported JNI problems:")
    foreach(line IN LISTS misuse warnings)
        string(STRIP "${line}" line)
        list(APPEND problems "  ${line}")
    endforeach()
endif()
if(problems)
    list(JOIN problems "\n" text)
    message(FATAL_ERROR "Java tests failed (full output in ${LOG_FILE}):\n${text}")
endif()
