# Tests of the keyboard window. The GUI tests run on an X server of their own.
find_package(Qt6 6.4 REQUIRED COMPONENTS Test Widgets)

add_library(hiragana_window_test_support STATIC windowtestsupport.cpp windowtestsupport.h)
target_include_directories(hiragana_window_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(hiragana_window_test_support
    PUBLIC Qt6::Widgets Qt6::Test Hiragana::TestFakes
    PRIVATE hiragana_xinput)

foreach(test window_input_gui_test window_editor_gui_test window_keys_gui_test)
    hiragana_add_gui_test(${test}
        SOURCES ${test}.cpp
        LIBRARIES Hiragana::KeyboardWindow hiragana_window_test_support Qt6::Test)
    set_target_properties(${test} PROPERTIES AUTOMOC ON)
endforeach()

hiragana_add_test(window_layout_test
    SOURCES window_layout_test.cpp
    LIBRARIES Hiragana::KeyboardWindow)

find_package(X11 REQUIRED)
hiragana_add_gui_test(frameextents_gui_test NO_WM
    SOURCES frameextents_gui_test.cpp LIBRARIES Hiragana::KeyboardWindow Qt6::Test X11::X11)
set_target_properties(frameextents_gui_test PROPERTIES AUTOMOC ON)
