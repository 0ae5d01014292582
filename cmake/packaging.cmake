# The Debian package: `cmake --build build --target package` (or scripts/package) packs what
# `cmake --install` installs, under /usr, into build/vodarir_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vodarir)
set(CPACK_PACKAGE_VENDOR "Vodarir")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "designer for the applications of a character-mode 4GL business runtime")
set(CPACK_PACKAGE_DESCRIPTION
    "Vodarir opens the definition files of an application of a character-mode 4GL business
runtime (data dictionary, 24x80 screens bound to it, print documents, procedure scripts and
application-selection lists) exactly as the runtime reads them, and lets you view, create, edit,
report on and save them.
.
The package holds the desktop designer (vodarir) and a command-line tool (vodarir-cli) that loads
data dictionaries, evaluates expressions of the runtime's language and plays designer scenarios.")
set(VODARIR_PACKAGE_MAINTAINER "Vodarir developers <vodarir@localhost>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VODARIR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps turns the libraries the programs link (Qt 6 Widgets, Gui and Core, the C and C++
# runtimes) into Depends with the versions this build needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_STRIP_FILES ON)
# Folders the package creates are root's and readable by all, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
