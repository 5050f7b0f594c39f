# The installed layout, relocatable (the programs find share/quillet beside their bin folder):
#   bin/quillet, bin/quillet-cli
#   share/quillet/{bwyy.mid,dsyy.mid}      the tunes (QuilletTunes)
#   share/quillet/jjr.cjf                  the published holiday arrangements (data/jjr.cjf)
#   share/quillet/defaults/                 the data folder a first start copies to ~/.local/share/quillet
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1, share/doc/quillet
# and the Debian package made from it by CPack (scripts/build-deb). Included from the root.
include(GNUInstallDirs)
set(QUILLET_DIST ${PROJECT_SOURCE_DIR}/dist)
set(QUILLET_ID cn.orlin.Quillet)

# The build tree works like an installation: the defaults beside each program.
foreach(target IN ITEMS quillet quillet-cli)
    if(TARGET ${target})
        quillet_output_dir(${target} dir)
        add_custom_target(${target}_defaults
            COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data ${dir}/defaults
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/jjr.cjf ${dir}
            COMMENT "Copying the default data beside ${target}"
            VERBATIM)
        add_dependencies(${target} ${target}_defaults)
    endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillet/defaults
        PATTERN "*.mid" EXCLUDE PATTERN ".keep" EXCLUDE PATTERN "jjr.cjf" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/data/jjr.cjf DESTINATION ${CMAKE_INSTALL_DATADIR}/quillet)

if(QUILLET_GUI)
    install(FILES ${QUILLET_DIST}/desktop/${QUILLET_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${QUILLET_DIST}/desktop/${QUILLET_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(FILES ${QUILLET_DIST}/desktop/${QUILLET_ID}.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size 16 22 24 32 48 64 128 256)
        install(FILES ${QUILLET_DIST}/desktop/hicolor/${size}x${size}/${QUILLET_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

# Man pages and the changelog go compressed, as Debian wants them.
set(compressed)
foreach(source IN ITEMS man/quillet.1 man/quillet-cli.1 changelog)
    get_filename_component(name ${source} NAME)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/dist/${name}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/dist
        COMMAND sh -c "gzip -9n < '${QUILLET_DIST}/${source}' > '${out}'"
        DEPENDS ${QUILLET_DIST}/${source} VERBATIM)
    list(APPEND compressed ${out})
endforeach()
add_custom_target(quillet_dist_files ALL DEPENDS ${compressed})
set(man_pages ${CMAKE_CURRENT_BINARY_DIR}/dist/quillet-cli.1.gz)
if(QUILLET_GUI)
    list(APPEND man_pages ${CMAKE_CURRENT_BINARY_DIR}/dist/quillet.1.gz)
endif()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dist/changelog.gz ${QUILLET_DIST}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillet)

# The Debian package: runtime libraries found by dpkg-shlibdeps; fonts and instruments recommended.
find_program(QUILLET_DPKG dpkg)
if(QUILLET_DPKG)
    execute_process(COMMAND ${QUILLET_DPKG} --print-architecture OUTPUT_VARIABLE deb_arch
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
else()
    set(deb_arch amd64)
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Orlin工作室")
set(CPACK_PACKAGE_CONTACT "Orlin工作室 <quillet@orlin.cn>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desk calendar with memo reminders, alarm, diary and address book")
# CPack puts the summary first and indents the rest; an empty line becomes a paragraph break.
set(CPACK_PACKAGE_DESCRIPTION "Quillet keeps a small desk calendar on the screen with the date, the lunar
calendar and the time of day. Its launcher opens a memo book whose memos are
announced with a tune at their hour, an alarm timer, a scrambled diary, an
address book of business cards with photos, a file scrambler and a wall
calendar for the years 1900 to 2049. The interface is in Simplified Chinese.

quillet-cli reaches the same data from a terminal.")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at the first tune rather than linked, so the dependency scan cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfluidsynth3")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-wqy-microhei | fonts-wqy-zenhei, fluid-soundfont-gm | timgm6mb-soundfont, xdg-utils, vdirsyncer")
# The keyring look-up of the sync's password (quillet-cli sync setup without --password-command).
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libsecret-tools")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://quillet.orlin.cn/")
set(CPACK_DEBIAN_FILE_NAME "quillet_${PROJECT_VERSION}_${deb_arch}.deb")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_THREADS 0)
include(CPack)
