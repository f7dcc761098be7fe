# Installs the build into a fresh prefix and runs the demo of the installed program: it must find
# the installed samples beside itself and cut them, and the program must not carry the path of
# the source tree's samples.
#
#   cmake -DBUILD_DIR=<build> -DSOURCE_DIR=<source> -DSAMPLES_DIR=<share/varnix/samples>
#         -DWORK_DIR=<scratch folder> -P demo-installed.cmake
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${status}):\n${out}${err}")
endif()

set(program "${prefix}/bin/varnix")
string(REGEX REPLACE "([][+.*()^$?|\\\\])" "\\\\\\1" source_samples "${SOURCE_DIR}/samples")
file(STRINGS "${program}" baked REGEX "${source_samples}")
if(baked)
    message(FATAL_ERROR "the installed program carries the source path ${SOURCE_DIR}/samples")
endif()

execute_process(COMMAND "${program}" demo demo WORKING_DIRECTORY "${WORK_DIR}"
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the installed demo failed (${status}):\n${out}${err}")
endif()
string(FIND "${out}" "Sample files in ${prefix}/${SAMPLES_DIR}:\n" at)
if(at EQUAL -1)
    message(FATAL_ERROR "the installed demo did not take the installed samples:\n${out}")
endif()
foreach(piece movie-5.1_1.ac3 surround_1.dts commentary_1.mp2 music_1.wav)
    if(NOT EXISTS "${WORK_DIR}/demo/${piece}")
        message(FATAL_ERROR "the installed demo cut no ${piece}:\n${out}${err}")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "the installed demo found its samples in ${prefix}/${SAMPLES_DIR}")
