# module.cmake - builds a layout module from layout/ and resources/ with
# clang, llvm-rc and lld-link for a Windows target, then runs the finishing
# step over the linked image.  Nothing here depends on the host compiler.

# The build rule and the pointer forms, shared with every other layout image.
include(${CMAKE_CURRENT_LIST_DIR}/layout_rule.cmake)

file(GLOB WENDOL_LAYOUT_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/layout/*.c)
file(GLOB WENDOL_LAYOUT_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/layout/*.h)
file(GLOB WENDOL_RESOURCE_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*)
set(WENDOL_RESOURCE_SCRIPT ${PROJECT_SOURCE_DIR}/resources/wendol.rc)
set(WENDOL_DEF_FILE ${PROJECT_SOURCE_DIR}/Wendol.def)

if(NOT EXISTS ${WENDOL_RESOURCE_SCRIPT})
    message(FATAL_ERROR "the module's resources are missing: no ${WENDOL_RESOURCE_SCRIPT}")
endif()

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
# the accessor is what the compiler writes.  Targets and properties are
# those of wendol_build_layout_variants.
function(wendol_add_test_layout name)
    cmake_parse_arguments(ARG "" "" "SOURCES;OPTIMIZE;VARIANTS;DEFINES;EXPORTS" ${ARGN})
    if(NOT ARG_SOURCES)
        message(FATAL_ERROR "wendol_add_test_layout(${name}): no SOURCES")
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

    wendol_build_layout_variants(${name} SOURCES ${sources} HEADERS ${headers}
        INCLUDES ${includes} DEF ${def} OUTPUT_DIR ${root}
        OPTIMIZE ${ARG_OPTIMIZE} VARIANTS ${ARG_VARIANTS} DEFINES ${ARG_DEFINES})
endfunction()
