# check_package.cmake - packs the release twice, a second apart, and checks
# that the two zips are the same bytes; then opens one and checks that every
# module sits in the folder install.cmd takes it from, that the scripts, the
# README and the licence have CRLF line ends, and that nothing else is in it.
# Takes the arguments of make_package.cmake except STAGE_DIR and OUTPUT, and
# WORK_DIR for scratch space.
file(REMOVE_RECURSE ${WORK_DIR})
set(failures 0)
macro(fail what)
    message(SEND_ERROR "FAIL ${what}")
    math(EXPR failures "${failures} + 1")
endmacro()
macro(pass what)
    message(STATUS "ok   ${what}")
endmacro()

foreach(round first second)
    if(round STREQUAL second)
        # Later files would carry a later time if the package took it from them.
        execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1.1)
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${BINARY_DIR} -DSOURCE_DIR=${SOURCE_DIR}
                -DDATE=${DATE} -DZIP=${ZIP}
                -DSTAGE_DIR=${WORK_DIR}/${round}-stage -DOUTPUT=${WORK_DIR}/${round}.zip
                -P ${CMAKE_CURRENT_LIST_DIR}/make_package.cmake
        RESULT_VARIABLE packed OUTPUT_QUIET)
    if(NOT packed EQUAL 0)
        message(FATAL_ERROR "FAIL packing the ${round} time")
    endif()
endforeach()
file(SHA256 ${WORK_DIR}/first.zip first)
file(SHA256 ${WORK_DIR}/second.zip second)
if(first STREQUAL second)
    pass("two packings give the same bytes (${first})")
else()
    fail("two packings give different bytes: ${first} vs ${second}")
endif()

# What is in the zip, read back from the zip.
file(MAKE_DIRECTORY ${WORK_DIR}/unpacked)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${WORK_DIR}/first.zip
    WORKING_DIRECTORY ${WORK_DIR}/unpacked RESULT_VARIABLE unpacked)
if(NOT unpacked EQUAL 0)
    message(FATAL_ERROR "FAIL the zip does not unpack")
endif()
file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE ${WORK_DIR}/unpacked ${WORK_DIR}/unpacked/*)
set(expected LICENSE README.txt install.cmd uninstall.cmd
    wow64/Wendol.dll x86/Wendol.dll x64/Wendol.dll arm64/Wendol.dll)
file(GLOB charts LIST_DIRECTORIES false RELATIVE ${BINARY_DIR} ${BINARY_DIR}/chart/*)
list(APPEND expected ${charts})
file(GLOB_RECURSE linux LIST_DIRECTORIES false RELATIVE ${BINARY_DIR} ${BINARY_DIR}/linux/*)
if(linux)
    list(APPEND expected ${linux} linux/install.sh)
endif()
file(GLOB keyman_packages LIST_DIRECTORIES false RELATIVE ${BINARY_DIR} ${BINARY_DIR}/keyman/*.kmp)
list(APPEND expected ${keyman_packages})
list(SORT found)
list(SORT expected)
if(found STREQUAL expected)
    pass("the zip holds exactly: ${found}")
else()
    fail("the zip holds ${found}; expected ${expected}")
endif()

# Each folder has its own module: swapping x86 and wow64 would install a
# module with the wrong pointer width in each system folder.
foreach(entry wow64:module/Wendol.dll x86:module/x86/Wendol.dll
              x64:module/x64/Wendol.dll arm64:module/arm64/Wendol.dll)
    string(REPLACE ":" ";" entry ${entry})
    list(GET entry 0 folder)
    list(GET entry 1 built)
    set(packed ${WORK_DIR}/unpacked/${folder}/Wendol.dll)
    if(NOT EXISTS ${packed})
        continue()
    endif()
    file(SHA256 ${packed} packed_hash)
    file(SHA256 ${BINARY_DIR}/${built} built_hash)
    if(packed_hash STREQUAL built_hash)
        pass("${folder}/Wendol.dll is the build's ${built}")
    else()
        fail("${folder}/Wendol.dll is not the build's ${built}")
    endif()
endforeach()

foreach(source installer/install.cmd installer/uninstall.cmd installer/README.txt LICENSE)
    get_filename_component(name ${source} NAME)
    set(packed ${WORK_DIR}/unpacked/${name})
    if(NOT EXISTS ${packed})
        continue()
    endif()
    # file(READ) drops carriage returns, so the line ends are judged on the
    # bytes in hex, one " xx" per byte: take out every CR LF pair, and no CR
    # or LF may be left.
    file(READ ${packed} bytes HEX)
    string(REGEX REPLACE "(..)" " \\1" bytes "${bytes}")
    string(REPLACE " 0d 0a" "" bytes "${bytes}")
    string(FIND "${bytes}" " 0a" lone_lf)
    string(FIND "${bytes}" " 0d" lone_cr)
    file(READ ${packed} text)
    file(READ ${SOURCE_DIR}/${source} source_text)
    if(NOT lone_lf EQUAL -1 OR NOT lone_cr EQUAL -1)
        fail("${name} has a line that does not end in CRLF")
    elseif(NOT text STREQUAL source_text)
        fail("${name} differs from ${source} beyond its line ends")
    else()
        pass("${name} is ${source} with CRLF line ends")
    endif()
endforeach()

if(failures EQUAL 0)
    file(REMOVE_RECURSE ${WORK_DIR})
    message(STATUS "package: every check passed")
else()
    message(FATAL_ERROR "package: ${failures} checks failed")
endif()
