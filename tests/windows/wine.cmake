# Windows test programs run under wine, each on an X server of its own (scripts/with-xvfb), in one
# wine prefix per test run made by a fixture: creating one takes several seconds, starting wine in
# it again about one. Whatever a program leaves running in the prefix is ended after it.
set(HIRAGANA_WINE_ENVIRONMENT WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=) # no .NET or HTML: the prefix is ready much sooner

function(hiragana_add_wine_test name)
    add_test(NAME ${name} COMMAND ${HIRAGANA_WITH_XVFB} -- sh -c "wine \"$@\"; s=$?; wineserver -k; exit $s" -
             $<TARGET_FILE:${name}>)
    # One wine server per prefix, so the tests that share it take turns.
    set_tests_properties(${name} PROPERTIES LABELS "gui;wine" ENVIRONMENT "${HIRAGANA_WINE_ENVIRONMENT}"
                         FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_prefix)
endfunction()

# wineboot returns while the prefix's services are still starting (a second round of them starts
# after it), and killing them at that moment once left the setup hanging until ctest's timeout. So
# the setup waits, bounded, for them to end by themselves; a boot that does not end in time is
# killed and tried once more in a new prefix.
add_test(NAME wine_prefix_setup COMMAND ${HIRAGANA_WITH_XVFB} --no-wm -- sh -c
         "for try in 1 2; do rm -rf \"$WINEPREFIX\"; timeout 240 wineboot --init && timeout 120 wineserver --wait && exit 0; wineserver -k; done; exit 1")
# Wine keeps the prefix's server socket in /tmp/wine-XXXXXX/server-<device>-<inode>, and leaves it.
add_test(NAME wine_prefix_cleanup COMMAND sh -c "wineserver -k; set -- $(stat -c '%D %i' \"$WINEPREFIX\")
    for socket in /tmp/wine-*/server-$1-$(printf %x $2); do rm -rf \"\${socket%/*}\"; done; rm -rf \"$WINEPREFIX\"")
set_tests_properties(wine_prefix_setup wine_prefix_cleanup PROPERTIES LABELS wine
                     ENVIRONMENT "${HIRAGANA_WINE_ENVIRONMENT}" RESOURCE_LOCK wine_prefix)
set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix TIMEOUT 800)
set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine_prefix)
