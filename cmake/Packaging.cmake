# The Debian package, built by CPack from the install rules (cmake/Install.cmake):
#   cpack --config <build>/CPackConfig.cmake   (scripts/package does it for the release build)
# dpkg-shlibdeps works out the shared libraries the program links to. Qt's plugins are loaded at
# run time, so it cannot see them: the SVG support for the window icon is named by hand, and the
# extra picture formats are recommended.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tilmora-puzzle)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
set(CPACK_PACKAGE_VENDOR "Tilmora developers")
set(CPACK_PACKAGE_CONTACT "Tilmora developers <developers@tilmora.example>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://${TILMORA_APP_WEBSITE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sliding picture puzzle with pictures of your own")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME tilmora-puzzle)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Load a picture of your own, from a small icon to a large photo: the game cuts
it into 3 x 3, 4 x 4 or 6 x 6 pieces, shuffles them and hides one corner.
Click the pieces back into their places until the picture is whole again.
On Easy any piece may jump into the empty square; on Hard only a neighbour
may slide in. The game counts your attempts and the seconds you take.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins")

include(CPack)
