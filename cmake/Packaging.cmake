# A Debian package of the keyboard: `cpack -G DEB` in the build folder makes
# hiragana_<version>_<arch>.deb, installable with `apt install ./hiragana_*.deb`.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME hiragana)
set(CPACK_PACKAGE_VENDOR "The Hiragana developers")
set(CPACK_PACKAGE_CONTACT "The Hiragana developers <hiragana-keyboard@users.noreply.github.com>")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/COPYING")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/hiragana-keyboard/hiragana")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "on-screen hiragana keyboard with large keys and spoken feedback")
set(CPACK_PACKAGE_DESCRIPTION
"Hiragana is an on-screen keyboard for people who need very large keys and
spoken feedback to write Japanese. Seventy large keys are laid out as the
fifty-sound table below a text box. A speech character says each confirmed
kana aloud, the keys work with the mouse or with Tab and Space or Enter, and
the finished text can be typed into another application's window.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# What the program links (checked against the binary by the install tests), what it loads at
# run time (the xcb platform plugin, the voice data; the keymap data comes with libxkbcommon0)
# and the font its keys are drawn with.
set(hiragana_runtime_packages
    "libc6 (>= 2.34)"
    "libstdc++6 (>= 12)"
    "libgcc-s1 (>= 3.0)"
    "libqt6core6 (>= 6.4.2)"
    "libqt6gui6 (>= 6.4.2)"
    "libqt6widgets6 (>= 6.4.2)"
    "libqt6svg6 (>= 6.4.2)"
    "libqt6dbus6 (>= 6.4.2)"
    "qt6-qpa-plugins (>= 6.4.2)"
    "libespeak-ng1 (>= 1.51)"
    espeak-ng-data
    "libpulse0 (>= 0.99.1)"
    "libx11-6 (>= 2:1.6.0)"
    libxcb1
    libfontconfig1
    libxtst6
    libxext6
    "libwayland-client0 (>= 1.20.0)"
    "libxkbcommon0 (>= 0.5.0)"
    fonts-ipafont-gothic
)
list(JOIN hiragana_runtime_packages ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

# The natural Japanese voice, used instead of espeak-ng when all three are installed (the voice
# file is in Debian's contrib).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "open-jtalk, open-jtalk-mecab-naist-jdic, hts-voice-nitech-jp-atr503-m001")

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "/\\\\.cache/")

include(CPack)
