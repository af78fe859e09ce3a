# The Debian package: `cpack -G DEB` in the build folder makes
# tessaro_<version>_<arch>.deb from the install rules, installed under /usr.
# Its library dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaro)
set(CPACK_PACKAGE_VENDOR Quillmark)
set(CPACK_PACKAGE_CONTACT "Quillmark <tessaro@quillmark.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "home screen designer for Windows Mobile Smartphone devices")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.quillmark.example/tessaro)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Added to what dpkg-shlibdeps finds: Qt's window system plugins, which the
# designer loads at run time and no library names.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The long description; the summary above is its first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessaro designs the home screen of Windows Mobile Smartphone devices
(176 x 220 screens): plugin entries from a catalogue of thirteen kinds,
their heights, positions, texts, fonts and colours, a colour scheme, a
background picture, icon bars and analog clock faces, in a live preview.

It writes the home layout XML, the colour scheme, the pictures and an
installable Windows CE cabinet. tessaro-cli runs the same core without a
window.")
include(CPack)
