# SPDX-License-Identifier: GPL-3.0-or-later
# `make package`: a Debian package of the installation, with its dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lockmere)
set(CPACK_PACKAGE_VENDOR Tavilo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tavilo <lockmere@tavilo.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The portable copy makes up most of the package (Qt and ICU for another computer); xz, as Debian's own packages use,
# keeps the package at two thirds of what gzip makes of it.
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tavilo.com/?p=lockmere")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# lockmere-cli clip hands the password to the desktop's clipboard through one of these tools.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xclip | wl-clipboard")
if(TARGET lockmere)
    # Qt loads the SVG icons through a plugin, which dpkg-shlibdeps cannot see in the program's own links; its own
    # dialogs and key names are translated by the catalogues of qt6-translations-l10n, which it loads by name.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-translations-l10n")
    # Without Qt's Wayland plugin the program still runs in a Wayland session, through XWayland.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS qt6-wayland)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The first line is the synopsis; CPack indents the rest as the extended description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[password manager with an encrypted database file
Lockmere keeps a user's logins in one database file, encrypted twice
(two-key triple DES inside AES-256) under a master password, and shows
them in a window with a tree of groups beside a list of entries. Every
change is written to the file at once. Both keys are a single MD5 of the
master password, without salt or key stretching, so the file is only as
strong as a long master password; the program estimates how long an
offline attack takes and warns when that is less than a century.

It copies user names and passwords to the clipboard and clears it after
a set time, types them into the previously active window, locks the
database after a period of inactivity, generates passwords, imports and
exports CSV files, exports text and HTML, prints, and installs a portable
copy of itself on a removable drive.

The package also contains lockmere-cli, which lists, shows, adds and
removes entries, generates passwords and imports or exports entries from
the command line.]=])

include(CPack)
