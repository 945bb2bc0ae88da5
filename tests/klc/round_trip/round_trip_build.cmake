# round_trip_build.cmake - one layout's round trip by the program:
#   wendol klc FORM --out DIR/forms/<layout>-<variant>.klc   for every form
#   wendol build DIR/source.klc --out DIR/built               once, from the first
# cmake -DWENDOL=... -DDIR=... -DFORMS=a.dll;b.dll;... -P round_trip_build.cmake
# or, for a source written by hand in UTF-8 with LF lines:
#   its UTF-16LE form with a byte-order mark and CRLF lines is DIR/source.klc
# cmake -DWENDOL=... -DDIR=... -DSOURCE=file.klc.txt -P round_trip_build.cmake
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR}/forms)
if(SOURCE)
    execute_process(
        COMMAND sh -c "printf '\\377\\376' > \"$1\" && sed 's/$/\\r/' \"$0\" | iconv -f UTF-8 -t UTF-16LE >> \"$1\""
                ${SOURCE} ${DIR}/source.klc
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "turning ${SOURCE} into UTF-16 failed (${status})")
    endif()
endif()
set(first)
foreach(form ${FORMS})
    get_filename_component(folder ${form} DIRECTORY)
    get_filename_component(variant ${folder} NAME)
    get_filename_component(name ${form} NAME_WE)
    if(variant STREQUAL "module")
        set(variant wow64)
    else()
        get_filename_component(layout_dir ${folder} DIRECTORY)
        get_filename_component(name ${layout_dir} NAME)
    endif()
    set(klc ${DIR}/forms/${name}-${variant}.klc)
    execute_process(COMMAND ${WENDOL} klc ${form} --out ${klc}
                    RESULT_VARIABLE status OUTPUT_QUIET ERROR_FILE ${klc}.stderr)
    if(NOT status EQUAL 0)
        file(READ ${klc}.stderr text)
        message(FATAL_ERROR "wendol klc ${form} failed (${status}):\n${text}")
    endif()
    if(NOT first)
        set(first ${klc})
        file(COPY_FILE ${klc} ${DIR}/source.klc)
        file(COPY_FILE ${klc}.stderr ${DIR}/source.klc.stderr)
    endif()
endforeach()
execute_process(COMMAND ${WENDOL} build ${DIR}/source.klc --out ${DIR}/built
                RESULT_VARIABLE status OUTPUT_FILE ${DIR}/build.stdout ERROR_FILE ${DIR}/build.stderr)
if(NOT status EQUAL 0)
    file(READ ${DIR}/build.stderr text)
    message(FATAL_ERROR "wendol build ${DIR}/source.klc failed (${status}):\n${text}")
endif()
