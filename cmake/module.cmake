# module.cmake - builds a layout module from layout/ and resources/ with
# clang, llvm-rc and lld-link for a Windows target, then runs the finishing
# step over the linked image.  Nothing here depends on the host compiler.

find_program(WENDOL_CLANG NAMES clang-14 clang REQUIRED)
find_program(WENDOL_LLD_LINK NAMES lld-link-14 lld-link REQUIRED)
find_program(WENDOL_LLVM_RC NAMES llvm-rc-14 llvm-rc REQUIRED)

file(GLOB WENDOL_LAYOUT_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/layout/*.c)
file(GLOB WENDOL_LAYOUT_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/layout/*.h)
file(GLOB WENDOL_RESOURCE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*)
set(WENDOL_RESOURCE_SCRIPT ${PROJECT_SOURCE_DIR}/resources/wendol.rc)
set(WENDOL_DEF_FILE ${PROJECT_SOURCE_DIR}/Wendol.def)

if(NOT EXISTS ${WENDOL_RESOURCE_SCRIPT})
    message(FATAL_ERROR "the module's resources are missing: no ${WENDOL_RESOURCE_SCRIPT}")
endif()

# wendol_build_layout(<target> NAME <file name> TRIPLE <triple>
#                     MACHINE <x86|x64|arm64> FORM <WOW64|NATIVE>
#                     WORK <dir> OUTPUT_DIR <dir> DEF <file.def>
#                     SOURCES <file.c>... HEADERS <file.h>... INCLUDES <dir>...
#                     OPTIMIZE <flag>... [DEFINES <NAME[=value]>...]
#                     [RESOURCES <script.rc> <files the script reads>...] [ALL])
# The one rule every layout image is made by: freestanding C compiled by
# clang for the target, linked by lld-link into one section, then finished.
# Builds <OUTPUT_DIR>/<NAME>; <target> stands for it and holds its path in
# the WENDOL_DLL property.
function(wendol_build_layout target)
    cmake_parse_arguments(ARG "ALL" "NAME;TRIPLE;MACHINE;FORM;WORK;OUTPUT_DIR;DEF"
                          "SOURCES;HEADERS;INCLUDES;OPTIMIZE;DEFINES;RESOURCES" ${ARGN})
    file(MAKE_DIRECTORY ${ARG_WORK}/linked ${ARG_OUTPUT_DIR})

    set(cflags --target=${ARG_TRIPLE} -std=c11 ${ARG_OPTIMIZE} -ffreestanding -fno-builtin
        -fno-stack-protector -fno-asynchronous-unwind-tables -fno-unwind-tables
        -Wall -Wextra -Werror -DKBD_POINTER_FORM_${ARG_FORM}=1)
    foreach(define ${ARG_DEFINES})
        list(APPEND cflags -D${define})
    endforeach()
    foreach(dir ${ARG_INCLUDES})
        list(APPEND cflags -I${dir})
    endforeach()

    set(inputs)
    foreach(source ${ARG_SOURCES})
        get_filename_component(stem ${source} NAME_WE)
        set(object ${ARG_WORK}/${stem}.obj)
        add_custom_command(OUTPUT ${object}
            COMMAND ${WENDOL_CLANG} ${cflags} -c ${source} -o ${object}
            DEPENDS ${source} ${ARG_HEADERS}
            COMMENT "Compiling ${stem}.c for ${target}" VERBATIM)
        list(APPEND inputs ${object})
    endforeach()

    set(resource_section)
    if(ARG_RESOURCES)
        list(GET ARG_RESOURCES 0 script_path)
        set(res ${ARG_WORK}/resources.res)
        # llvm-rc reads any argument that starts with a slash as an option,
        # even an absolute path ("/c..." is its code-page switch), so the
        # script is named relative to the folder it runs in.
        get_filename_component(script ${script_path} NAME)
        get_filename_component(script_dir ${script_path} DIRECTORY)
        add_custom_command(OUTPUT ${res}
            COMMAND ${WENDOL_LLVM_RC} -no-preprocess -C 65001 -FO ${res} ${script}
            DEPENDS ${ARG_RESOURCES}
            WORKING_DIRECTORY ${script_dir}
            COMMENT "Compiling the resources for ${target}" VERBATIM)
        list(APPEND inputs ${res})
        set(resource_section /section:.rsrc,RD)
    endif()

    # The export directory takes the module's name from the output file.
    set(linked ${ARG_WORK}/linked/${ARG_NAME})
    add_custom_command(OUTPUT ${linked}
        COMMAND ${WENDOL_LLD_LINK} /nologo /dll /noentry /nodefaultlib
            /machine:${ARG_MACHINE} /subsystem:windows,6.0
            /def:${ARG_DEF}
            # one section for tables, strings, exports and the function body
            /merge:.rdata=.data /merge:.text=.data
            ${resource_section}
            /dynamicbase /nxcompat
            /timestamp:0 /opt:ref /opt:noicf
            /out:${linked} ${inputs}
        DEPENDS ${inputs} ${ARG_DEF}
        COMMENT "Linking ${ARG_NAME} for ${target}" VERBATIM)

    set(dll ${ARG_OUTPUT_DIR}/${ARG_NAME})
    add_custom_command(OUTPUT ${dll}
        COMMAND finish_image ${linked} ${dll}
        DEPENDS ${linked} finish_image
        COMMENT "Finishing ${dll}" VERBATIM)

    if(ARG_ALL)
        add_custom_target(${target} ALL DEPENDS ${dll})
    else()
        add_custom_target(${target} DEPENDS ${dll})
    endif()
    set_property(TARGET ${target} PROPERTY WENDOL_DLL ${dll})
endfunction()

# wendol_add_module(<target> TRIPLE <triple> MACHINE <x86|x64|arm64>
#                   FORM <WOW64|NATIVE> OUTPUT_DIR <dir>)
# Builds <dir>/Wendol.dll from layout/ and resources/; <target> is the
# custom target that stands for it.
function(wendol_add_module target)
    cmake_parse_arguments(ARG "" "TRIPLE;MACHINE;FORM;OUTPUT_DIR" "" ${ARGN})
    wendol_build_layout(${target} ALL NAME Wendol.dll
        TRIPLE ${ARG_TRIPLE} MACHINE ${ARG_MACHINE} FORM ${ARG_FORM}
        WORK ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir OUTPUT_DIR ${ARG_OUTPUT_DIR}
        DEF ${WENDOL_DEF_FILE}
        SOURCES ${WENDOL_LAYOUT_SOURCES} HEADERS ${WENDOL_LAYOUT_HEADERS}
        INCLUDES ${PROJECT_SOURCE_DIR}/layout OPTIMIZE -O2
        RESOURCES ${WENDOL_RESOURCE_SCRIPT} ${WENDOL_RESOURCE_FILES})
endfunction()

# The pointer forms a layout is built in: each variant's target triple,
# linker machine and KBD_POINTER_FORM, as "variant|triple|machine|form".
set(WENDOL_LAYOUT_VARIANTS
    "x86|i686-pc-windows-msvc|x86|NATIVE"
    "wow64|i686-pc-windows-msvc|x86|WOW64"
    "x64|x86_64-pc-windows-msvc|x64|NATIVE"
    "arm64|aarch64-pc-windows-msvc|arm64|NATIVE")

# wendol_add_test_layout(<name> SOURCES <file.c>...
#                        [OPTIMIZE <flag>...]      (default -O2)
#                        [VARIANTS <variant>...]   (default x86 wow64 x64 arm64)
#                        [DEFINES <NAME[=value]>...]
#                        [EXPORTS <name>...])      (beside KbdLayerDescriptor, from @2)
# Builds a small layout of the tests' own from C sources that include
# layout/kbd.h, compiled and linked by the module's rules (only the
# optimisation differs, and the module name is <name>.dll), without
# resources, into ${CMAKE_BINARY_DIR}/test_layouts/<name>/<variant>/<name>.dll.
# The sources define the root record and KbdLayerDescriptor themselves, so
# the accessor is what the compiler writes.  Target <name> builds every
# variant and holds their paths in its WENDOL_DLLS property; target
# <name>_<variant> builds one, its WENDOL_DLL property the path.
function(wendol_add_test_layout name)
    cmake_parse_arguments(ARG "" "" "SOURCES;OPTIMIZE;VARIANTS;DEFINES;EXPORTS" ${ARGN})
    if(NOT ARG_SOURCES)
        message(FATAL_ERROR "wendol_add_test_layout(${name}): no SOURCES")
    endif()
    if(NOT ARG_OPTIMIZE)
        set(ARG_OPTIMIZE -O2)
    endif()
    if(NOT ARG_VARIANTS)
        set(ARG_VARIANTS x86 wow64 x64 arm64)
    endif()

    set(headers ${WENDOL_LAYOUT_HEADERS})
    set(includes ${PROJECT_SOURCE_DIR}/layout)
    set(sources)
    foreach(source ${ARG_SOURCES})
        get_filename_component(source ${source} ABSOLUTE)
        get_filename_component(dir ${source} DIRECTORY)
        file(GLOB own_headers CONFIGURE_DEPENDS ${dir}/*.h)
        list(APPEND headers ${own_headers})
        list(APPEND includes ${dir})
        list(APPEND sources ${source})
    endforeach()
    list(REMOVE_DUPLICATES includes)

    set(root ${CMAKE_BINARY_DIR}/test_layouts/${name})
    set(def ${root}/${name}.def)
    file(MAKE_DIRECTORY ${root})
    set(exports "    KbdLayerDescriptor @1\n")
    set(ordinal 2)
    foreach(export ${ARG_EXPORTS})
        string(APPEND exports "    ${export} @${ordinal}\n")
        math(EXPR ordinal "${ordinal} + 1")
    endforeach()
    file(CONFIGURE OUTPUT ${def}
         CONTENT "LIBRARY \"${name}.dll\"\nEXPORTS\n${exports}")

    set(dlls)
    foreach(variant ${ARG_VARIANTS})
        set(found)
        foreach(row ${WENDOL_LAYOUT_VARIANTS})
            string(REPLACE "|" ";" fields ${row})
            list(GET fields 0 row_variant)
            if(row_variant STREQUAL variant)
                set(found ${fields})
            endif()
        endforeach()
        if(NOT found)
            message(FATAL_ERROR "wendol_add_test_layout(${name}): no variant ${variant}")
        endif()
        list(GET found 1 triple)
        list(GET found 2 machine)
        list(GET found 3 form)

        set(target ${name}_${variant})
        wendol_build_layout(${target} NAME ${name}.dll
            TRIPLE ${triple} MACHINE ${machine} FORM ${form}
            WORK ${root}/${variant}.dir OUTPUT_DIR ${root}/${variant} DEF ${def}
            SOURCES ${sources} HEADERS ${headers} INCLUDES ${includes}
            OPTIMIZE ${ARG_OPTIMIZE} DEFINES ${ARG_DEFINES})
        set(dll ${root}/${variant}/${name}.dll)
        list(APPEND dlls ${dll})
    endforeach()

    add_custom_target(${name} ALL)
    foreach(variant ${ARG_VARIANTS})
        add_dependencies(${name} ${name}_${variant})
    endforeach()
    set_property(TARGET ${name} PROPERTY WENDOL_DLLS ${dlls})
    set_property(TARGET ${name} PROPERTY WENDOL_VARIANTS ${ARG_VARIANTS})
endfunction()
