# Precompiled headers: Qt's widgets for the windows, GoogleTest for the tests, both for the window tests.
# Three holders build one header each; every window library and test reuses one of them. GCC takes a header
# only under the same macros and code model (-fPIC for libraries, -fPIE for programs), so each holder is the
# same kind of target as its users and links what they link. The compiler cache
# keeps the headers too (sloppiness set in the root CMakeLists.txt), so a fresh checkout gets byte-identical
# headers and its objects still come from the cache. Models take none: they stay plain and quick.
option(QUILLET_PCH "Precompiled headers for Qt's widgets and GoogleTest" ON)

set(quillet_pch_std <algorithm> <array> <filesystem> <functional> <memory> <optional> <string> <string_view>
                    <vector>)
set(quillet_pch_qt <QApplication> <QCheckBox> <QComboBox> <QEvent> <QFrame> <QLabel> <QLineEdit> <QMouseEvent>
                   <QPainter> <QPainterPath> <QPixmap> <QPlainTextEdit> <QPointer> <QPushButton> <QScreen> <QString>
                   <QTimer> <QWidget>)
set(quillet_pch_gtest <gmock/gmock.h> <gtest/gtest.h>)

function(quillet_pch_holder name)
    if(NOT QUILLET_PCH OR TARGET ${name})
        return()
    endif()
    cmake_parse_arguments(H "PROGRAM" "" "HEADERS;LINKS" ${ARGN})
    set(src ${CMAKE_BINARY_DIR}/pch/${name}.cpp)
    if(H_PROGRAM)
        file(CONFIGURE OUTPUT ${src} CONTENT "// Holds the precompiled header ${name}.\nint main() { return 0; }\n")
        add_executable(${name} ${src})
    else()
        file(CONFIGURE OUTPUT ${src} CONTENT "// Holds the precompiled header ${name}.\n")
        add_library(${name} OBJECT ${src})
    endif()
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    target_link_libraries(${name} PRIVATE quillet_options ${H_LINKS})
    target_precompile_headers(${name} PRIVATE ${quillet_pch_std} ${H_HEADERS})
endfunction()

# quillet_use_pch(target widgets|tests|guitests)
function(quillet_use_pch target kind)
    if(NOT QUILLET_PCH)
        return()
    endif()
    if(kind STREQUAL "widgets")
        quillet_pch_holder(quillet_pch_widgets HEADERS ${quillet_pch_qt} LINKS Qt6::Widgets)
    elseif(kind STREQUAL "tests")
        quillet_pch_holder(quillet_pch_tests PROGRAM HEADERS ${quillet_pch_gtest}
                           LINKS quillet_testsupport GTest::gtest GTest::gmock)
    else()
        quillet_pch_holder(quillet_pch_guitests PROGRAM HEADERS ${quillet_pch_qt} ${quillet_pch_gtest} <QTest>
                           LINKS quillet_app_widgets quillet_guitestsupport Qt6::Test GTest::gtest GTest::gmock)
    endif()
    target_precompile_headers(${target} REUSE_FROM quillet_pch_${kind})
endfunction()
