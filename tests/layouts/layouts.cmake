# Small layouts of the tests' own (tests/layouts/<name>/), built like the
# module in every pointer form, each with the accessor the compiler writes:
# optimised, unoptimised, optimised keeping a frame, and unoptimised with a
# frame and the address spilled to it through a local variable.
set(WENDOL_TEST_LAYOUT_DIR ${CMAKE_BINARY_DIR}/test_layouts)
set(frame_pointer -fno-omit-frame-pointer -mno-omit-leaf-frame-pointer)
# Every test layout's accessor, compiled with the layout's own flags.
set(accessor_source ${CMAKE_CURRENT_LIST_DIR}/common/accessor.c)
file(GLOB minimal_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/minimal/*.c)
list(APPEND minimal_sources ${accessor_source})
wendol_add_test_layout(minimal SOURCES ${minimal_sources})
wendol_add_test_layout(minimal_o0 SOURCES ${minimal_sources} OPTIMIZE -O0)
wendol_add_test_layout(minimal_frame SOURCES ${minimal_sources} OPTIMIZE -O2 ${frame_pointer})
wendol_add_test_layout(minimal_spill SOURCES ${minimal_sources} OPTIMIZE -O0 ${frame_pointer}
                       DEFINES TEST_LAYOUT_ACCESSOR_LOCAL=1)
# A German-style layout whose right Alt key is AltGr (KLLF_ALTGR), with
# CAPLOK, CAPLOKALTGR and SGCAPS letters; and the same with KLLF_SHIFTLOCK.
file(GLOB altgr_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/altgr/*.c)
list(APPEND altgr_sources ${accessor_source})
wendol_add_test_layout(altgr SOURCES ${altgr_sources})
wendol_add_test_layout(altgr_shiftlock SOURCES ${altgr_sources} DEFINES ALTGR_SHIFTLOCK=1)
# Ligatures of two, three and four characters; dead keys whose compositions
# are dead themselves (DKF_DEAD); and a Japanese-style layout with the Kana
# lock, the Kana modifier bit and the NLS accessor East Asian layouts export.
foreach(layout ligature chained kana)
    file(GLOB ${layout}_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/${layout}/*.c)
    list(APPEND ${layout}_sources ${accessor_source})
endforeach()
wendol_add_test_layout(ligature SOURCES ${ligature_sources})
wendol_add_test_layout(chained SOURCES ${chained_sources})
wendol_add_test_layout(kana SOURCES ${kana_sources} EXPORTS KbdNlsLayerDescriptor)
# The Kana layout with a second level key of its own, the Oya key (KBDROYA),
# and its columns: the verifier notes the bit, which the engine treats as
# any other.
wendol_add_test_layout(kana_oya SOURCES ${kana_sources} EXPORTS KbdNlsLayerDescriptor
                       DEFINES KANA_OYA=1)
# A modifier map that leaves the Ctrl+Alt column unselected: wMaxModBits
# below Ctrl+Alt, or (HIDDEN_BEYOND) Ctrl+Alt's number past the table.
file(GLOB hidden_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/hidden/*.c)
list(APPEND hidden_sources ${accessor_source})
wendol_add_test_layout(hidden SOURCES ${hidden_sources})
wendol_add_test_layout(hidden_beyond SOURCES ${hidden_sources} DEFINES HIDDEN_BEYOND=1)
# The minimal layout's tables under an older root record, which ends after
# pLigature, with the E1 map right behind it.
set(older_sources ${CMAKE_CURRENT_LIST_DIR}/minimal/tables.c
    ${CMAKE_CURRENT_LIST_DIR}/older/descriptor.c ${accessor_source})
wendol_add_test_layout(older SOURCES ${older_sources})
# The layouts the verifier passes, and those it finds fault with.
set(WENDOL_CLEAN_TEST_LAYOUTS minimal minimal_o0 minimal_frame minimal_spill altgr altgr_shiftlock
    ligature chained kana kana_oya)
set(WENDOL_TEST_LAYOUTS ${WENDOL_CLEAN_TEST_LAYOUTS} hidden hidden_beyond older)
