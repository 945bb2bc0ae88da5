# Round trips through the .klc source, run by the program as a layout
# author would run it: `wendol klc` writes the source of each image, every
# pointer form of each layout, and `wendol build` makes everything of it
# again (modules, installer, chart, Linux form, Keyman package).  The tests
# in test_klc_round_trip.cpp then type the built modules against the
# originals, and read the source back from what was built.
set(WENDOL_KLC_ROUND_TRIP_DIR ${CMAKE_BINARY_DIR}/klc_round_trip)
# Each layout with its forms: every pointer form, and for the minimal layout
# the accessors other compiler settings write and the older root record.
set(WENDOL_KLC_ROUND_TRIP_LAYOUTS Wendol minimal altgr altgr_shiftlock ligature chained kana kana_oya
    hidden hidden_beyond)
set(minimal_forms minimal minimal_o0 minimal_frame minimal_spill older)
foreach(layout ${WENDOL_KLC_ROUND_TRIP_LAYOUTS})
    set(dir ${WENDOL_KLC_ROUND_TRIP_DIR}/${layout})
    set(forms)
    if(layout STREQUAL "Wendol")
        foreach(variant x86 x64 arm64)
            list(APPEND forms ${CMAKE_BINARY_DIR}/module/${variant}/Wendol.dll)
        endforeach()
        list(APPEND forms ${WENDOL_DLL})
    else()
        set(names ${layout})
        if(layout STREQUAL "minimal")
            set(names ${minimal_forms})
        endif()
        foreach(name ${names})
            foreach(variant x86 wow64 x64 arm64)
                list(APPEND forms ${WENDOL_TEST_LAYOUT_DIR}/${name}/${variant}/${name}.dll)
            endforeach()
        endforeach()
    endif()
    add_test(NAME klc.round_trip.${layout}
        COMMAND ${CMAKE_COMMAND} -DWENDOL=$<TARGET_FILE:wendol> -DDIR=${dir}
                "-DFORMS=${forms}" -P ${CMAKE_CURRENT_LIST_DIR}/round_trip_build.cmake)
    set_tests_properties(klc.round_trip.${layout} PROPERTIES
        FIXTURES_SETUP klc_round_trip TIMEOUT 600)
endforeach()

# A source written by hand, built, and read back from its modules.
add_test(NAME klc.round_trip.handwritten
    COMMAND ${CMAKE_COMMAND} -DWENDOL=$<TARGET_FILE:wendol> -DDIR=${CMAKE_BINARY_DIR}/klc_handwritten
            -DSOURCE=${CMAKE_CURRENT_LIST_DIR}/handwritten.klc.txt
            -P ${CMAKE_CURRENT_LIST_DIR}/round_trip_build.cmake)
set_tests_properties(klc.round_trip.handwritten PROPERTIES FIXTURES_SETUP klc_round_trip TIMEOUT 600)

# The tests over what the round trips left, one program of their own so
# that the reader's tests do not wait for the builds.
add_executable(wendol_tests_klc_round_trip ${CMAKE_CURRENT_LIST_DIR}/test_klc_round_trip.cpp)
target_include_directories(wendol_tests_klc_round_trip PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(wendol_tests_klc_round_trip PRIVATE wendol_klc GTest::gtest_main)
target_compile_options(wendol_tests_klc_round_trip PRIVATE ${WENDOL_WARNINGS})
target_compile_definitions(wendol_tests_klc_round_trip PRIVATE
    WENDOL_KLC_ROUND_TRIP_DIR="${WENDOL_KLC_ROUND_TRIP_DIR}"
    WENDOL_KLC_HANDWRITTEN_DIR="${CMAKE_BINARY_DIR}/klc_handwritten"
    WENDOL_BUILD_DIR="${CMAKE_BINARY_DIR}"
    WENDOL_TEST_LAYOUT_DIR="${WENDOL_TEST_LAYOUT_DIR}")
add_dependencies(wendol_tests_klc_round_trip wendol ${WENDOL_TEST_LAYOUTS})
gtest_discover_tests(wendol_tests_klc_round_trip DISCOVERY_TIMEOUT 60
                     PROPERTIES FIXTURES_REQUIRED klc_round_trip)
