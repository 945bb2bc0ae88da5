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

# wendol_add_module(<target> TRIPLE <triple> MACHINE <x86|x64|arm64>
#                   FORM <WOW64|NATIVE> OUTPUT_DIR <dir>)
# Builds <dir>/Wendol.dll; <target> is the custom target that stands for it.
function(wendol_add_module target)
    cmake_parse_arguments(ARG "" "TRIPLE;MACHINE;FORM;OUTPUT_DIR" "" ${ARGN})
    set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}.dir)
    file(MAKE_DIRECTORY ${work} ${ARG_OUTPUT_DIR})

    set(cflags --target=${ARG_TRIPLE} -std=c11 -O2 -ffreestanding -fno-builtin
        -fno-stack-protector -fno-asynchronous-unwind-tables -fno-unwind-tables
        -Wall -Wextra -Werror -DKBD_POINTER_FORM_${ARG_FORM}=1
        -I${PROJECT_SOURCE_DIR}/layout)

    set(objects)
    foreach(source ${WENDOL_LAYOUT_SOURCES})
        get_filename_component(stem ${source} NAME_WE)
        set(object ${work}/${stem}.obj)
        add_custom_command(OUTPUT ${object}
            COMMAND ${WENDOL_CLANG} ${cflags} -c ${source} -o ${object}
            DEPENDS ${source} ${WENDOL_LAYOUT_HEADERS}
            COMMENT "Compiling ${stem}.c for ${target}" VERBATIM)
        list(APPEND objects ${object})
    endforeach()

    set(inputs ${objects})
    if(EXISTS ${WENDOL_RESOURCE_SCRIPT})
        set(res ${work}/wendol.res)
        # llvm-rc reads any argument that starts with a slash as an option,
        # even an absolute path ("/c..." is its code-page switch), so the
        # script is named relative to the folder it runs in.
        get_filename_component(script ${WENDOL_RESOURCE_SCRIPT} NAME)
        add_custom_command(OUTPUT ${res}
            COMMAND ${WENDOL_LLVM_RC} -no-preprocess -C 65001 -FO ${res} ${script}
            DEPENDS ${WENDOL_RESOURCE_FILES}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/resources
            COMMENT "Compiling the resources for ${target}" VERBATIM)
        list(APPEND inputs ${res})
    endif()

    # The export directory takes the module's name from the output file.
    file(MAKE_DIRECTORY ${work}/linked)
    set(linked ${work}/linked/Wendol.dll)
    add_custom_command(OUTPUT ${linked}
        COMMAND ${WENDOL_LLD_LINK} /nologo /dll /noentry /nodefaultlib
            /machine:${ARG_MACHINE} /subsystem:windows,6.0
            /def:${WENDOL_DEF_FILE}
            # one section for tables, strings, exports and the function body
            /merge:.rdata=.data /merge:.text=.data
            /section:.rsrc,RD
            /dynamicbase /nxcompat
            /timestamp:0 /opt:ref /opt:noicf
            /out:${linked} ${inputs}
        DEPENDS ${inputs} ${WENDOL_DEF_FILE}
        COMMENT "Linking Wendol.dll for ${target}" VERBATIM)

    set(dll ${ARG_OUTPUT_DIR}/Wendol.dll)
    add_custom_command(OUTPUT ${dll}
        COMMAND finish_image ${linked} ${dll}
        DEPENDS ${linked} finish_image
        COMMENT "Finishing ${dll}" VERBATIM)

    add_custom_target(${target} ALL DEPENDS ${dll})
    set_property(TARGET ${target} PROPERTY WENDOL_DLL ${dll})
endfunction()
