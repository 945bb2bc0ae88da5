# keyman.cmake - a layout as a Keyman keyboard: `wendol keyman` writes the
# source, the touch layout and the package source from the module, Keyman's
# own compilers (tools/keyman/, installed by `npm ci`) make the desktop
# keyboard (.kmx), the web and touch keyboard (.js) and the package (.kmp).
#
#   wendol_keyman_keyboard(<target> DLL <module> ID <id> OUT_DIR <dir>
#                          [CHART <html>] [PACKAGE] [DEPENDS <target>...])
#
# writes <dir>/<id>.{kmn,keyman-touch-layout,kps,kmx,js}, welcome.htm, and
# with PACKAGE <dir>/<id>.kmp holding the keyboards, the welcome page and
# the chart where CHART names one.
find_program(WENDOL_NODE NAMES node REQUIRED)
set(WENDOL_KEYMAN_COMPILE ${PROJECT_SOURCE_DIR}/tools/keyman/compile.mjs)

function(wendol_keyman_keyboard target)
    cmake_parse_arguments(ARG "PACKAGE" "DLL;ID;OUT_DIR;CHART" "DEPENDS" ${ARGN})
    set(dir ${ARG_OUT_DIR})
    set(source ${dir}/${ARG_ID}.kmn ${dir}/${ARG_ID}.keyman-touch-layout ${dir}/${ARG_ID}.kps
               ${dir}/welcome.htm)
    set(chart_args)
    if(ARG_CHART)
        set(chart_args --chart ${ARG_CHART})
    endif()
    add_custom_command(OUTPUT ${source}
        COMMAND wendol keyman ${ARG_DLL} --out ${dir} --name ${ARG_ID} ${chart_args}
        DEPENDS wendol ${ARG_DLL} ${ARG_DEPENDS}
        COMMENT "Writing the Keyman keyboard ${ARG_ID} into ${dir}" VERBATIM)
    set(compiled ${dir}/${ARG_ID}.kmx ${dir}/${ARG_ID}.js)
    add_custom_command(OUTPUT ${compiled}
        COMMAND ${WENDOL_NODE} ${WENDOL_KEYMAN_COMPILE} keyboard ${dir}/${ARG_ID}.kmn ${dir}
        DEPENDS ${source} ${WENDOL_KEYMAN_COMPILE}
        COMMENT "Compiling the Keyman keyboard ${ARG_ID}" VERBATIM)
    if(ARG_PACKAGE)
        add_custom_command(OUTPUT ${dir}/${ARG_ID}.kmp
            COMMAND ${WENDOL_NODE} ${WENDOL_KEYMAN_COMPILE} package ${dir}/${ARG_ID}.kps
                    ${dir}/${ARG_ID}.kmp
            DEPENDS ${compiled} ${WENDOL_KEYMAN_COMPILE}
            COMMENT "Packing the Keyman package ${ARG_ID}.kmp" VERBATIM)
        list(APPEND compiled ${dir}/${ARG_ID}.kmp)
    endif()
    add_custom_target(${target} ALL DEPENDS ${compiled})
endfunction()
