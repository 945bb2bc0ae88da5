# layout_rule.cmake - the one rule every layout image is built by: the
# module (module.cmake), the tests' own layouts, and a module built from a
# .klc source in a project of its own outside this tree (which is why
# nothing here names this tree's folders).  Freestanding C compiled by
# clang for a Windows target, linked by lld-link into one section, then
# finished.
#
# The finishing step's command is WENDOL_FINISH_IMAGE: the in-tree target
# finish_image unless the includer names an installed program.

find_program(WENDOL_CLANG NAMES clang-14 clang REQUIRED)
find_program(WENDOL_LLD_LINK NAMES lld-link-14 lld-link REQUIRED)
find_program(WENDOL_LLVM_RC NAMES llvm-rc-14 llvm-rc REQUIRED)
if(NOT DEFINED WENDOL_FINISH_IMAGE)
    set(WENDOL_FINISH_IMAGE finish_image)
endif()

# wendol_build_layout(<target> NAME <file name> TRIPLE <triple>
#                     MACHINE <x86|x64|arm64> FORM <WOW64|NATIVE>
#                     WORK <dir> OUTPUT_DIR <dir> DEF <file.def>
#                     SOURCES <file.c>... HEADERS <file.h>... INCLUDES <dir>...
#                     OPTIMIZE <flag>... [DEFINES <NAME[=value]>...]
#                     [RESOURCES <script.rc> <files the script reads>...] [ALL])
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
        COMMAND ${WENDOL_FINISH_IMAGE} ${linked} ${dll}
        DEPENDS ${linked} ${WENDOL_FINISH_IMAGE}
        COMMENT "Finishing ${dll}" VERBATIM)

    if(ARG_ALL)
        add_custom_target(${target} ALL DEPENDS ${dll})
    else()
        add_custom_target(${target} DEPENDS ${dll})
    endif()
    set_property(TARGET ${target} PROPERTY WENDOL_DLL ${dll})
endfunction()

# The pointer forms a layout is built in: each variant's target triple,
# linker machine and KBD_POINTER_FORM, as "variant|triple|machine|form".
set(WENDOL_LAYOUT_VARIANTS
    "x86|i686-pc-windows-msvc|x86|NATIVE"
    "wow64|i686-pc-windows-msvc|x86|WOW64"
    "x64|x86_64-pc-windows-msvc|x64|NATIVE"
    "arm64|aarch64-pc-windows-msvc|arm64|NATIVE")

# wendol_build_layout_variants(<name> SOURCES <file.c>... INCLUDES <dir>...
#                              OUTPUT_DIR <dir>
#                              [RESOURCES <script.rc> <files the script reads>...]
#                              [DEF <file.def>]          (default: <name>.dll, KbdLayerDescriptor @1)
#                              [HEADERS <file.h>...]     (what a change of rebuilds)
#                              [OPTIMIZE <flag>...]      (default -O2)
#                              [VARIANTS <variant>...]   (default x86 wow64 x64 arm64)
#                              [DEFINES <NAME[=value]>...])
# Builds <OUTPUT_DIR>/<variant>/<name>.dll in every pointer form, each in
# the work folder <OUTPUT_DIR>/<variant>.dir.  Target <name> builds every
# variant (with ALL) and holds their paths in its WENDOL_DLLS property and
# the variants in WENDOL_VARIANTS; target <name>_<variant> builds one, its
# WENDOL_DLL property the path.
function(wendol_build_layout_variants name)
    cmake_parse_arguments(ARG "" "OUTPUT_DIR;DEF"
                          "SOURCES;INCLUDES;RESOURCES;HEADERS;OPTIMIZE;VARIANTS;DEFINES" ${ARGN})
    if(NOT ARG_SOURCES)
        message(FATAL_ERROR "wendol_build_layout_variants(${name}): no SOURCES")
    endif()
    if(NOT ARG_OUTPUT_DIR)
        message(FATAL_ERROR "wendol_build_layout_variants(${name}): no OUTPUT_DIR")
    endif()
    if(NOT ARG_OPTIMIZE)
        set(ARG_OPTIMIZE -O2)
    endif()
    if(NOT ARG_VARIANTS)
        set(ARG_VARIANTS x86 wow64 x64 arm64)
    endif()
    if(NOT ARG_DEF)
        set(ARG_DEF ${ARG_OUTPUT_DIR}/${name}.def)
        file(CONFIGURE OUTPUT ${ARG_DEF}
             CONTENT "LIBRARY \"${name}.dll\"\nEXPORTS\n    KbdLayerDescriptor @1\n")
    endif()

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
            message(FATAL_ERROR "wendol_build_layout_variants(${name}): no variant ${variant}")
        endif()
        list(GET found 1 triple)
        list(GET found 2 machine)
        list(GET found 3 form)

        set(resources)
        if(ARG_RESOURCES)
            set(resources RESOURCES ${ARG_RESOURCES})
        endif()
        wendol_build_layout(${name}_${variant} NAME ${name}.dll
            TRIPLE ${triple} MACHINE ${machine} FORM ${form}
            WORK ${ARG_OUTPUT_DIR}/${variant}.dir OUTPUT_DIR ${ARG_OUTPUT_DIR}/${variant}
            DEF ${ARG_DEF}
            SOURCES ${ARG_SOURCES} HEADERS ${ARG_HEADERS} INCLUDES ${ARG_INCLUDES}
            OPTIMIZE ${ARG_OPTIMIZE} DEFINES ${ARG_DEFINES} ${resources})
        list(APPEND dlls ${ARG_OUTPUT_DIR}/${variant}/${name}.dll)
    endforeach()

    add_custom_target(${name} ALL)
    foreach(variant ${ARG_VARIANTS})
        add_dependencies(${name} ${name}_${variant})
    endforeach()
    set_property(TARGET ${name} PROPERTY WENDOL_DLLS ${dlls})
    set_property(TARGET ${name} PROPERTY WENDOL_VARIANTS ${ARG_VARIANTS})
endfunction()
