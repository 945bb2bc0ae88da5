# check_golden.cmake - runs `wendol <command> <module>` and compares what it
# prints, byte for byte, with the text kept in the repository.  On a
# difference the output is left beside the build for review and the test
# fails with a unified diff; scripts/golden.sh rewrites the kept texts.
#
#   cmake -DWENDOL=<program> -DCOMMAND=inspect -DMODULE=<dll>
#         -DGOLDEN=<kept text> -DACTUAL=<where to leave the output> -P check_golden.cmake
foreach(var WENDOL COMMAND MODULE GOLDEN ACTUAL)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "check_golden.cmake: -D${var}= is required")
    endif()
endforeach()

execute_process(COMMAND ${WENDOL} ${COMMAND} ${MODULE}
                OUTPUT_VARIABLE actual ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "wendol ${COMMAND} ${MODULE}: exit ${status}\n${errors}")
endif()
if(NOT EXISTS ${GOLDEN})
    message(FATAL_ERROR "no kept text ${GOLDEN}: run scripts/golden.sh")
endif()
file(READ ${GOLDEN} expected)
if(NOT actual STREQUAL expected)
    get_filename_component(folder ${ACTUAL} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(WRITE ${ACTUAL} "${actual}")
    execute_process(COMMAND diff -u ${GOLDEN} ${ACTUAL} OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "wendol ${COMMAND} ${MODULE} differs from ${GOLDEN} "
                        "(if the change is meant, run scripts/golden.sh and review the diff):\n"
                        "${difference}")
endif()
