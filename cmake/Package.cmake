# `cpack -G DEB` in a build folder makes a Debian package of what `cmake --install` installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pobi)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking timekeeper in the system tray")
set(CPACK_PACKAGE_DESCRIPTION "Pobi lives in the system tray as a small mascot. Type what you \
want in plain words: a countdown (25m pasta, at 3pm, pomodoro), a stopwatch or a metronome \
(120 bpm). While a timer runs Pobi speaks the start, a line every few minutes, halfway, the \
last minute and the end.")
set(POBI_MAINTAINER "The Pobi developers <maintainers@pobi.invalid>"
  CACHE STRING "The package's Maintainer field")
set(CPACK_PACKAGE_CONTACT "${POBI_MAINTAINER}")
# A package always installs under /usr, wherever this build's own install prefix points.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries name the Qt, speech and X packages; the speech server and a voice are
# separate programs Pobi talks to, and it still runs, silent, without them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# qt6-wayland lets Pobi run as a Wayland client instead of through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "speech-dispatcher, speech-dispatcher-espeak-ng, qt6-wayland")
include(CPack)
