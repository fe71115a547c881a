# The Debian package: cpack -G DEB in a build configured with the prefix /usr
# (scripts/package.sh). Library dependencies come from dpkg-shlibdeps; what
# the program loads at run time without linking it is listed by hand.

set(CPACK_PACKAGE_NAME ordwin)
set(CPACK_PACKAGE_VENDOR Calvreth)
set(CPACK_PACKAGE_CONTACT Calvreth)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "practice for the English paper of the Jiangsu college-entrance exam")
set(CPACK_PACKAGE_DESCRIPTION
    "Ordwin lets a student sit the English paper of the Jiangsu college-entrance
examination on screen: eighteen papers with their listening recordings, an
answer card marked at once, an essay scored automatically, worked
explanations and a grade history kept for each user.")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time: the SQLite driver of Qt SQL, GStreamer's MP3 decoding
# and a sound output, the CJK font every Chinese text needs, Qt's Chinese
# button texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-alsa | gstreamer1.0-pulseaudio, fonts-noto-cjk, qt6-translations-l10n")

# Class mode talks to its server through Qt SQL's PostgreSQL driver; without
# it Ordwin works alone and says so when a class server is configured.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")

include(CPack)
