# Shared compile options for every target of the project.
add_library(quillet_options INTERFACE)
target_compile_features(quillet_options INTERFACE cxx_std_20)
target_compile_options(quillet_options INTERFACE -Wall -Wextra -Wpedantic)
# GCC 12 reports "literal" + std::string as an overlapping memcpy at -O3 (GCC bug 105329): a false alarm.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(quillet_options INTERFACE -Wno-restrict)
endif()
if(QUILLET_WERROR)
    target_compile_options(quillet_options INTERFACE -Werror)
endif()

# A fast linker when installed (mold, else lld): the build links some two hundred programs and libraries, and
# GNU ld spends seconds on each program that takes Qt and the static libraries. QUILLET_LINKER names one
# (mold, lld, bfd, gold) or "default" for the compiler's own choice.
set(QUILLET_LINKER "auto" CACHE STRING "Linker for -fuse-ld (auto: mold, else lld, else the compiler's)")
if(QUILLET_LINKER STREQUAL "auto")
    find_program(QUILLET_MOLD mold)
    find_program(QUILLET_LLD ld.lld)
    if(QUILLET_MOLD)
        set(quillet_linker mold)
    elseif(QUILLET_LLD)
        set(quillet_linker lld)
    endif()
elseif(NOT QUILLET_LINKER STREQUAL "default")
    set(quillet_linker ${QUILLET_LINKER})
endif()
if(quillet_linker)
    include(CheckLinkerFlag)
    check_linker_flag(CXX -fuse-ld=${quillet_linker} QUILLET_HAS_LINKER_${quillet_linker})
    if(QUILLET_HAS_LINKER_${quillet_linker})
        add_link_options(-fuse-ld=${quillet_linker})
    endif()
endif()
if(QUILLET_FUZZ)
    # Coverage for libFuzzer in every model, checked by the sanitizers; the fuzz programs add the driver.
    target_compile_options(quillet_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                     -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(quillet_options INTERFACE -fsanitize=address,undefined)
elseif(QUILLET_SANITIZE)
    # -O1: the checked tests run several times faster than at -O0, and the reports keep their lines. With the
    # sanitizers' instrumentation GCC warns of "maybe uninitialized" members inside libstdc++'s <regex>: false
    # alarms that the plain builds, which keep the warning, do not raise.
    target_compile_options(quillet_options INTERFACE -O1 -fsanitize=address,undefined -fno-omit-frame-pointer
                                                     -fno-sanitize-recover=undefined -Wno-maybe-uninitialized)
    target_link_options(quillet_options INTERFACE -fsanitize=address,undefined)
endif()

# add_quillet_test(NAME SOURCES a.cpp b.cpp [GUI] [NO_PCH] [LINKS targets...] [LABELS l...])
# One executable per test folder for its models and one for its windows. Model tests link the libraries
# they test (LINKS) and GoogleTest; window tests build a whole program (Form1) and run offscreen. NO_PCH for
# tests whose compile flags differ from the shared precompiled header's.
function(add_quillet_test name)
    cmake_parse_arguments(T "GUI;NO_PCH" "" "SOURCES;LINKS;LABELS" ${ARGN})
    if(T_GUI AND NOT QUILLET_GUI)
        return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${T_LINKS} quillet_testsupport GTest::gtest GTest::gmock)
    if(T_GUI)
        set_target_properties(${name} PROPERTIES QUILLET_WINDOWS TRUE) # keeps its moc step
        target_link_libraries(${name} PRIVATE quillet_app_widgets quillet_guitestsupport Qt6::Test)
        if(NOT T_NO_PCH)
            quillet_use_pch(${name} guitests)
        endif()
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
        if(NOT T_NO_PCH)
            quillet_use_pch(${name} tests)
        endif()
    endif()
    add_test(NAME ${name} COMMAND ${name})
    # The folders noted for the start-up sweep are listed under the build folder, not the user's home.
    set(env "QUILLET_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data" "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state")
    if(T_GUI)
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
        set_tests_properties(${name} PROPERTIES LABELS "gui;${T_LABELS}")
    else()
        set_tests_properties(${name} PROPERTIES LABELS "model;${T_LABELS}")
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 1500)
endfunction()
