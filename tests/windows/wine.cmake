# Windows test programs run under wine, each on an X server of its own. They share one wine
# prefix per test run: creating one takes several seconds, starting wine in it again about one.
set(HIRAGANA_RUN_UNDER_WINE "${CMAKE_CURRENT_LIST_DIR}/run-under-wine")
# Where the test run's prefix is written down between the fixture's set-up and clean-up.
set(HIRAGANA_WINE_PREFIX_NOTE "${CMAKE_BINARY_DIR}/wine-prefix")

function(hiragana_add_wine_test name)
    cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
    add_test(NAME ${name}
             COMMAND ${HIRAGANA_WITH_XVFB} -- ${HIRAGANA_RUN_UNDER_WINE} --prefix-note ${HIRAGANA_WINE_PREFIX_NOTE}
                     -- ${ARG_COMMAND})
    # One wine server per prefix, so the tests that share it take turns.
    set_tests_properties(${name} PROPERTIES
        LABELS "gui;wine" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix)
endfunction()

add_test(NAME wine_prefix_setup
         COMMAND ${HIRAGANA_WITH_XVFB} --no-wm -- ${HIRAGANA_RUN_UNDER_WINE} --create ${HIRAGANA_WINE_PREFIX_NOTE})
add_test(NAME wine_prefix_cleanup COMMAND ${HIRAGANA_RUN_UNDER_WINE} --remove ${HIRAGANA_WINE_PREFIX_NOTE})
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix RESOURCE_LOCK wine_prefix LABELS wine)
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix RESOURCE_LOCK wine_prefix LABELS wine)
