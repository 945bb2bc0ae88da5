# make_package.cmake - lays out the release folder and packs it into one zip.
# Run with cmake -P by the package target and by the package test.
#
#   BINARY_DIR  the build folder: module/Wendol.dll, module/{x86,x64,arm64}/,
#               chart/ if the build drew the chart, linux/ if it wrote the
#               layout for Linux
#   SOURCE_DIR  the source folder: installer/, LICENSE
#   STAGE_DIR   where the folder is laid out (emptied first)
#   OUTPUT      the zip to write
#   DATE        the time every file in the zip carries, "YYYY-MM-DD hh:mm:ss"
#               in UTC
#   ZIP         Info-ZIP's zip
#
# The result depends on nothing but the files' contents: every file has the
# same time and mode, they go in sorted order, and -X leaves out the extra
# fields that would record owners and access times.
foreach(var BINARY_DIR SOURCE_DIR STAGE_DIR OUTPUT DATE ZIP)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "make_package.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})

# The modules, in the folders install.cmd looks for beside itself.
set(modules
    wow64 ${BINARY_DIR}/module/Wendol.dll
    x86 ${BINARY_DIR}/module/x86/Wendol.dll
    x64 ${BINARY_DIR}/module/x64/Wendol.dll
    arm64 ${BINARY_DIR}/module/arm64/Wendol.dll)
while(modules)
    list(POP_FRONT modules folder module)
    if(NOT EXISTS ${module})
        message(FATAL_ERROR "the package needs ${module}; build the modules first")
    endif()
    file(MAKE_DIRECTORY ${STAGE_DIR}/${folder})
    file(COPY_FILE ${module} ${STAGE_DIR}/${folder}/Wendol.dll)
endwhile()

# cmd.exe wants CRLF, and Notepad on older Windows shows a bare LF file as
# one line; whatever the checkout did, the scripts, the README and the
# licence have CRLF in the package.
foreach(source installer/install.cmd installer/uninstall.cmd installer/README.txt LICENSE)
    get_filename_component(name ${source} NAME)
    file(READ ${SOURCE_DIR}/${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${STAGE_DIR}/${name} "${text}")
endforeach()

# The chart, when the build drew one.
file(GLOB charts LIST_DIRECTORIES false ${BINARY_DIR}/chart/*)
if(charts)
    file(MAKE_DIRECTORY ${STAGE_DIR}/chart)
    foreach(chart ${charts})
        get_filename_component(name ${chart} NAME)
        file(COPY_FILE ${chart} ${STAGE_DIR}/chart/${name})
    endforeach()
else()
    message(STATUS "no chart in ${BINARY_DIR}/chart; the package goes without one")
endif()

# The layout for Linux, when the build wrote it, with its installer.
file(GLOB_RECURSE linux_files LIST_DIRECTORIES false RELATIVE ${BINARY_DIR}/linux
     ${BINARY_DIR}/linux/*)
if(linux_files)
    foreach(name ${linux_files})
        get_filename_component(folder ${STAGE_DIR}/linux/${name} DIRECTORY)
        file(MAKE_DIRECTORY ${folder})
        file(COPY_FILE ${BINARY_DIR}/linux/${name} ${STAGE_DIR}/linux/${name})
    endforeach()
    file(COPY_FILE ${SOURCE_DIR}/installer/linux/install.sh ${STAGE_DIR}/linux/install.sh)
else()
    message(STATUS "no Linux files in ${BINARY_DIR}/linux; the package goes without them")
endif()

# The Keyman package, when the build made it: Keyman installs it on macOS,
# Windows, Linux, Android, iOS and the web.
file(GLOB keyman_packages LIST_DIRECTORIES false ${BINARY_DIR}/keyman/*.kmp)
if(keyman_packages)
    file(MAKE_DIRECTORY ${STAGE_DIR}/keyman)
    foreach(kmp ${keyman_packages})
        get_filename_component(name ${kmp} NAME)
        file(COPY_FILE ${kmp} ${STAGE_DIR}/keyman/${name})
    endforeach()
else()
    message(STATUS "no Keyman package in ${BINARY_DIR}/keyman; the package goes without one")
endif()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${STAGE_DIR} ${STAGE_DIR}/*)
list(SORT files)
file(CHMOD_RECURSE ${STAGE_DIR}
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                          GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
set(partial ${OUTPUT}.partial)
file(REMOVE ${partial})
# zip takes the DOS time from each file's mtime in the local zone.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC touch -d "${DATE}" ${files}
    WORKING_DIRECTORY ${STAGE_DIR} RESULT_VARIABLE touched)
if(NOT touched EQUAL 0)
    message(FATAL_ERROR "could not set the files' time to ${DATE}")
endif()
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -9 -q ${partial} ${files}
    WORKING_DIRECTORY ${STAGE_DIR} RESULT_VARIABLE zipped)
if(NOT zipped EQUAL 0)
    message(FATAL_ERROR "could not write ${OUTPUT}")
endif()
file(RENAME ${partial} ${OUTPUT})
list(JOIN files ", " listed)
message(STATUS "${OUTPUT}: ${listed}")
