# Writes the module-definition file of the 32-bit lumo.dll from the objects it
# is linked from.
#
# On 32-bit Windows a JNI entry point is __stdcall, so its symbol carries the
# bytes of its arguments: _Java_..._name@N. A JVM there looks each native up by
# that decorated name first and by the plain Java_..._name after it. The linker
# on its own would export neither (it names the export Java_..._name@N), so
# this file exports both names of every entry point, and nothing else.
#
# Usage: cmake -DNM=<nm> -DOBJECTS=<objects> -DOUTPUT=<file.def> -P WindowsExports.cmake
execute_process(COMMAND "${NM}" --defined-only --extern-only ${OBJECTS}
    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on the objects of lumo.dll")
endif()

string(REGEX MATCHALL " T _Java_[A-Za-z0-9_]+@[0-9]+" symbols "${listing}")
list(TRANSFORM symbols REPLACE "^ T _" "")
list(SORT symbols)
list(REMOVE_DUPLICATES symbols)
if(NOT symbols)
    message(FATAL_ERROR "No JNI entry points in the objects of lumo.dll")
endif()

set(text "EXPORTS\n")
foreach(decorated IN LISTS symbols)
    string(REGEX REPLACE "@[0-9]+$" "" plain "${decorated}")
    # Names on the left are exported; the right names the symbol (as the
    # linker writes it, without the leading underscore of C names).
    string(APPEND text "    ${plain} = ${decorated}\n" "    _${decorated} = ${decorated}\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
