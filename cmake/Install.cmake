# SPDX-License-Identifier: GPL-3.0-or-later
# The installation, after the freedesktop and Debian conventions under the prefix: the programs in bin, the files
# they read at run time in share/lockmere (which they find as ../share/lockmere from bin, so the prefix can be
# anything), and the menu entry, icons, AppStream file, manual pages, shell completion and documentation.
find_program(LOCKMERE_HELP2MAN help2man REQUIRED)
find_program(LOCKMERE_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(LOCKMERE_GZIP gzip REQUIRED)

set(LOCKMERE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/lockmere)
set(LOCKMERE_LINUX_DIR ${CMAKE_SOURCE_DIR}/resources/linux)
set(LOCKMERE_GENERATED_DIR ${CMAKE_BINARY_DIR}/desktop)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# Manual pages and the changelog go in compressed, as Debian asks; man reads them either way.
function(lockmere_compressed_file name source)
    add_custom_command(OUTPUT ${LOCKMERE_GENERATED_DIR}/${name}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${LOCKMERE_GENERATED_DIR}/${name}
        COMMAND ${LOCKMERE_GZIP} -9nf ${LOCKMERE_GENERATED_DIR}/${name}
        DEPENDS ${source} VERBATIM)
endfunction()

# The command-line program's page is made from its own --help, so the two never disagree; help2man runs the program
# through a filter that unwraps the synopsis lines of its commands, one paragraph each.
add_custom_command(OUTPUT ${LOCKMERE_GENERATED_DIR}/lockmere-cli.generated.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${LOCKMERE_GENERATED_DIR}
    COMMAND ${LOCKMERE_HELP2MAN} --no-info
            "--name=work with a Lockmere password database from the command line"
            --include=${LOCKMERE_LINUX_DIR}/lockmere-cli.h2m
            --output=${LOCKMERE_GENERATED_DIR}/lockmere-cli.generated.1
            "sh ${CMAKE_SOURCE_DIR}/cmake/help-for-man.sh $<TARGET_FILE:lockmere-cli>"
    DEPENDS lockmere-cli ${LOCKMERE_LINUX_DIR}/lockmere-cli.h2m ${CMAKE_SOURCE_DIR}/cmake/help-for-man.sh VERBATIM)
lockmere_compressed_file(lockmere-cli.1 ${LOCKMERE_GENERATED_DIR}/lockmere-cli.generated.1)
set(manual_pages ${LOCKMERE_GENERATED_DIR}/lockmere-cli.1.gz)
lockmere_compressed_file(changelog ${LOCKMERE_LINUX_DIR}/changelog)

install(TARGETS lockmere-cli DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${LOCKMERE_LANGUAGE_FILES} ${LOCKMERE_README_TXT} DESTINATION ${LOCKMERE_DATA_DIR})
if(TARGET portable)
    # The portable copy as the portable installer copies it to a removable drive, in a folder of its own under lib,
    # as it holds programs and libraries. Its program file is stripped already; the installer finds the folder from
    # bin as ../lib/lockmere/portable.
    install(DIRECTORY ${LOCKMERE_PORTABLE_DIR}/ DESTINATION lib/lockmere/portable USE_SOURCE_PERMISSIONS)
    # The libraries it carries for that other computer are no embedding lintian should report.
    install(FILES ${LOCKMERE_LINUX_DIR}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
            RENAME lockmere)
endif()
install(FILES ${LOCKMERE_LINUX_DIR}/lockmere-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME lockmere-cli)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${LOCKMERE_LINUX_DIR}/copyright ${LOCKMERE_GENERATED_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lockmere)

if(TARGET lockmere)
    set(icon ${CMAKE_SOURCE_DIR}/resources/icons/lockmere.svg)
    set(icon_renderings)
    foreach(size 16 32 48 64 128 256)
        set(png ${LOCKMERE_GENERATED_DIR}/icons/${size}x${size}/lockmere.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${LOCKMERE_GENERATED_DIR}/icons/${size}x${size}
            COMMAND ${LOCKMERE_RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${icon}
            DEPENDS ${icon} VERBATIM)
        list(APPEND icon_renderings ${png})
        install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    lockmere_compressed_file(lockmere.1 ${LOCKMERE_LINUX_DIR}/lockmere.1)
    list(APPEND manual_pages ${LOCKMERE_GENERATED_DIR}/lockmere.1.gz)

    install(TARGETS lockmere DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    install(FILES ${LOCKMERE_LINUX_DIR}/com.tavilo.lockmere.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    # The database files' type; the package's trigger or update-mime-database makes it known to the desktop.
    install(FILES ${LOCKMERE_LINUX_DIR}/com.tavilo.lockmere.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
            RENAME lockmere.xml)
    install(FILES ${LOCKMERE_LINUX_DIR}/com.tavilo.lockmere.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

add_custom_target(lockmere_desktop_files ALL
                  DEPENDS ${manual_pages} ${icon_renderings} ${LOCKMERE_GENERATED_DIR}/changelog.gz)
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
