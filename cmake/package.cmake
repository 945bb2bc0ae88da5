# package.cmake - the release package, Wendol-<version>.zip in the build
# folder: the four modules in the folders install.cmd expects (x86, x64,
# arm64, wow64), install.cmd, uninstall.cmd, README.txt, LICENSE, the chart
# if the build drew it, and the layout for Linux (linux/) if the build wrote
# it.
#
#     cmake --build build --target package
set(WENDOL_PACKAGE ${CMAKE_BINARY_DIR}/Wendol-${PROJECT_VERSION}.zip)
# Every file in the package carries this time, so that two builds of the
# same sources give the same zip.
set(WENDOL_PACKAGE_DATE "2020-01-01 00:00:00")
# Info-ZIP's zip: cmake's own archiver would record owners and access times.
find_program(WENDOL_ZIP NAMES zip REQUIRED)
set(WENDOL_PACKAGE_ARGS
    -DBINARY_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
    -DDATE=${WENDOL_PACKAGE_DATE} -DZIP=${WENDOL_ZIP})

add_custom_target(package
    COMMAND ${CMAKE_COMMAND} ${WENDOL_PACKAGE_ARGS}
            -DSTAGE_DIR=${CMAKE_BINARY_DIR}/package -DOUTPUT=${WENDOL_PACKAGE}
            -P ${PROJECT_SOURCE_DIR}/cmake/make_package.cmake
    COMMENT "Packing ${WENDOL_PACKAGE}" VERBATIM)
add_dependencies(package module_wow64 module_x86 module_x64 module_arm64)

if(WENDOL_TESTS)
    # Packs twice a second apart and compares, then opens the zip and checks
    # every entry against the build.
    add_test(NAME package.contents
        COMMAND ${CMAKE_COMMAND} ${WENDOL_PACKAGE_ARGS}
                -DWORK_DIR=${CMAKE_BINARY_DIR}/package-test
                -P ${PROJECT_SOURCE_DIR}/cmake/check_package.cmake)
    set_tests_properties(package.contents PROPERTIES TIMEOUT 120)
endif()
