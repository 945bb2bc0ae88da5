# man_page.cmake - writes the manual page of `wendol` with help2man, from
# the program's own --help and --version, and after them a section for each
# command holding what `wendol help COMMAND` prints, so that the page says
# what the program says.  Run with cmake -P by the build.
#
#   WENDOL     the program
#   HELP2MAN   help2man
#   OUTPUT     the page to write (wendol.1)
#   EPOCH      the date the page carries, in seconds since 1970 (UTC), so
#              that two builds give the same page
foreach(var WENDOL HELP2MAN OUTPUT EPOCH)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "man_page.cmake needs -D${var}=...")
    endif()
endforeach()

# The commands are the lines of --help indented by two under "commands:".
execute_process(COMMAND ${WENDOL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${WENDOL} --help failed (${status})")
endif()
string(REGEX MATCHALL "\n  [a-z]+ " lines "${help}")
set(commands)
foreach(line ${lines})
    string(STRIP "${line}" command)
    list(APPEND commands ${command})
endforeach()
if(NOT commands)
    message(FATAL_ERROR "${WENDOL} --help lists no commands")
endif()

# roff takes a backslash as an escape and a line opening with . or ' as a
# request; the help is shown as it is laid out (.nf).
function(roff_text text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(include_text "[NAME]\nwendol \\- read, check, chart and write Windows keyboard-layout modules\n")
foreach(command ${commands})
    execute_process(COMMAND ${WENDOL} help ${command}
        OUTPUT_VARIABLE usage RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${WENDOL} help ${command} failed (${status})")
    endif()
    string(TOUPPER "${command}" title)
    roff_text("${usage}" usage)
    string(APPEND include_text "\n[COMMAND ${title}]\n.nf\n${usage}.fi\n")
endforeach()
set(include_file ${OUTPUT}.h2m)
file(WRITE ${include_file} "${include_text}")

execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${EPOCH} LC_ALL=C.UTF-8
            ${HELP2MAN} --no-info --section=1 --locale=C.UTF-8 --include=${include_file}
            --output=${OUTPUT}.partial ${WENDOL}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "help2man could not write ${OUTPUT} (${status})")
endif()
file(RENAME ${OUTPUT}.partial ${OUTPUT})
