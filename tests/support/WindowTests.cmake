# A test program of windows driven in-process on Qt's offscreen platform
# (one 1280 x 800 screen, or the screens of a SCREENS file), with the fakes
# in tests/support.
#   tirelma_window_tests(NAME LIBS <libraries> SOURCES <files> [SCREENS <json>])
find_package(Qt6 REQUIRED COMPONENTS Test)
set(TIRELMA_TEST_SCREENS "${CMAKE_SOURCE_DIR}/tests/support/screens.json")

function(tirelma_window_tests name)
    cmake_parse_arguments(ARG "" "SCREENS" "LIBS;SOURCES" ${ARGN})
    if(NOT ARG_SCREENS)
        set(ARG_SCREENS ${TIRELMA_TEST_SCREENS})
    endif()
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/QtTestMain.cpp)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
    target_compile_definitions(${name} PRIVATE TIRELMA_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test GTest::gtest)
    tirelma_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${ARG_SCREENS}")
endfunction()
