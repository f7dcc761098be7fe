# Runs the layer check on the small tree fixture/src, whose files named uses_* cross the layers
# and whose files named fine.* keep to them, together with a compilation database that gives one
# engine file a Qt include path. The check must fail and name exactly the offences listed in
# expected-offences.txt: no offence missed, no legal include refused.
#
#   cmake -DCHECK=<check-layers.cmake> -DWORK_DIR=<scratch folder> -P self-test.cmake
cmake_minimum_required(VERSION 3.22)
set(fixture ${CMAKE_CURRENT_LIST_DIR}/fixture/src)

# The compilation database: absolute names of this machine, so it is written here.
file(MAKE_DIRECTORY "${WORK_DIR}")
set(database "${WORK_DIR}/compile_commands.json")
file(WRITE "${database}" "[
{\"directory\": \"/b\", \"file\": \"${fixture}/video/fine.cpp\",
 \"command\": \"c++ -I/s/src -isystem /usr/include/x86_64-linux-gnu/qt6/QtCore -c video/fine.cpp\"},
{\"directory\": \"/b\", \"file\": \"${fixture}/formats/fine.cpp\",
 \"arguments\": [\"c++\", \"-I/s/src\", \"-c\", \"formats/fine.cpp\"]},
{\"directory\": \"/b\", \"file\": \"${fixture}/ui/fine.cpp\",
 \"command\": \"c++ -I/s/src -isystem /usr/include/x86_64-linux-gnu/qt6/QtWidgets -c ui/fine.cpp\"}
]
")

execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${fixture} -DCOMPILE_COMMANDS=${database} -P ${CHECK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 0)
    message(FATAL_ERROR "the check passed a tree with forbidden includes:\n${out}${err}")
endif()

string(REPLACE "\n" ";" lines "${out}${err}")
set(found "")
foreach(line ${lines})
    if(line MATCHES "^layers: (.+ includes [^ ]+) \\(")
        list(APPEND found "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^layers: (.+ is compiled with .+)$")
        list(APPEND found "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(SORT found)

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/expected-offences.txt expected)
list(SORT expected)
if(NOT found STREQUAL expected)
    string(REPLACE ";" "\n  " found_text "${found}")
    string(REPLACE ";" "\n  " expected_text "${expected}")
    message(FATAL_ERROR "the check found\n  ${found_text}\nbut the tree holds\n  ${expected_text}")
endif()
list(LENGTH found count)
message(STATUS "the check refuses all ${count} offences of the fixture and nothing else")
