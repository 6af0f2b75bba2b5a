# SPDX-License-Identifier: GPL-3.0-or-later
# The portable copy (`make portable`): build/portable/Lockmere, a folder with the portable edition as "Lockmere.exe",
# its launcher "Lockmere", every library and Qt plugin it needs that is not part of the computer's base system
# (resources/portable/base-libraries.txt), Qt's texts for the shipped languages, the language files and Readme.txt.
# The installation carries it in lib/lockmere/portable, where the portable installer finds it.
find_program(LOCKMERE_PATCHELF patchelf REQUIRED)

set(LOCKMERE_PORTABLE_DIR ${CMAKE_BINARY_DIR}/portable/Lockmere)
set(portable_stamp ${CMAKE_BINARY_DIR}/portable/Lockmere.stamp)
file(GLOB portable_resources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/portable/*)
add_custom_command(OUTPUT ${portable_stamp}
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/make-portable.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:lockmere-portable>
            ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS} ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}
            ${LOCKMERE_PORTABLE_DIR}
    COMMAND ${CMAKE_COMMAND} -E touch ${portable_stamp}
    DEPENDS lockmere-portable ${CMAKE_SOURCE_DIR}/scripts/make-portable.sh
            ${CMAKE_SOURCE_DIR}/scripts/portable-libraries.sh ${portable_resources} ${LOCKMERE_LANGUAGE_FILES}
    COMMENT "Making the portable copy in ${LOCKMERE_PORTABLE_DIR}"
    VERBATIM)
add_custom_target(portable ALL DEPENDS ${portable_stamp})
