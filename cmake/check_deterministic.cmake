# Builds the module again in a fresh directory and compares the bytes with
# the module of the main build.
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}
            -DWENDOL_TOOLKIT=OFF
    OUTPUT_QUIET RESULT_VARIABLE configured)
if(NOT configured EQUAL 0)
    message(FATAL_ERROR "second build: configure failed")
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}
    OUTPUT_QUIET RESULT_VARIABLE built)
if(NOT built EQUAL 0)
    message(FATAL_ERROR "second build: build failed")
endif()
foreach(variant "" x86 x64 arm64)
    file(SHA256 ${REFERENCE_DIR}/${variant}/Wendol.dll first)
    file(SHA256 ${WORK_DIR}/module/${variant}/Wendol.dll second)
    if(NOT first STREQUAL second)
        message(FATAL_ERROR "module/${variant}/Wendol.dll differs between two builds: ${first} vs ${second}")
    endif()
    message(STATUS "module/${variant}/Wendol.dll is byte-identical across builds (${first})")
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
