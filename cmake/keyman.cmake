# keyman.cmake - a layout as a Keyman keyboard: `wendol keyman` writes the
# source and the touch layout from the module, Keyman's own compiler
# (tools/keyman/, installed by `npm ci`) makes the desktop keyboard (.kmx)
# and the web and touch keyboard (.js) of them.
#
#   wendol_keyman_keyboard(<target> DLL <module> ID <id> OUT_DIR <dir> [DEPENDS <target>...])
#
# writes <dir>/<id>.{kmn,keyman-touch-layout,kmx,js}.
find_program(WENDOL_NODE NAMES node REQUIRED)
set(WENDOL_KEYMAN_COMPILE ${PROJECT_SOURCE_DIR}/tools/keyman/compile.mjs)

function(wendol_keyman_keyboard target)
    cmake_parse_arguments(ARG "" "DLL;ID;OUT_DIR" "DEPENDS" ${ARGN})
    set(dir ${ARG_OUT_DIR})
    set(source ${dir}/${ARG_ID}.kmn ${dir}/${ARG_ID}.keyman-touch-layout)
    set(compiled ${dir}/${ARG_ID}.kmx ${dir}/${ARG_ID}.js)
    add_custom_command(OUTPUT ${source}
        COMMAND wendol keyman ${ARG_DLL} --out ${dir} --name ${ARG_ID}
        DEPENDS wendol ${ARG_DLL} ${ARG_DEPENDS}
        COMMENT "Writing the Keyman keyboard ${ARG_ID} into ${dir}" VERBATIM)
    add_custom_command(OUTPUT ${compiled}
        COMMAND ${WENDOL_NODE} ${WENDOL_KEYMAN_COMPILE} keyboard ${dir}/${ARG_ID}.kmn ${dir}
        DEPENDS ${source} ${WENDOL_KEYMAN_COMPILE}
        COMMENT "Compiling the Keyman keyboard ${ARG_ID}" VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${compiled})
endfunction()
