# Installing the player as a desktop program, and its Debian package.
#
#   cmake --install build/release --prefix /usr/local
#   (cd build/release && cpack -G DEB)   # duduri_<version>_<arch>.deb
#
# bin/           duduri (the bare player), duduri-pack
# share/duduri/  all.pzjc (the master template set), sample.pzp (the sample
#                project the player plays when started with no file) and
#                samples/style-<N>.pzp (one project per window style)
# share/applications, share/metainfo, share/mime/packages, share/icons/hicolor,
# share/man/man1 and man6, share/doc/duduri
#
# The player and the tool find their data beside themselves first (a build
# tree), then in ../share/duduri (an installed prefix).

include(GNUInstallDirs)

set(duduri_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(duduri_app_id org.morvenhal.Duduri)

# The icon, drawn by our own code in every size the desktop asks for.
set(duduri_icons ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(duduri_icon_files)
foreach(size 48 64 128 256)
  list(APPEND duduri_icon_files ${duduri_icons}/${size}x${size}/apps/duduri.png)
endforeach()
list(APPEND duduri_icon_files ${duduri_icons}/scalable/apps/duduri.svg)
add_custom_command(
  OUTPUT ${duduri_icon_files}
  COMMAND duduri-pack icon ${duduri_icons}
  DEPENDS duduri-pack
  COMMENT "Drawing the program's icon"
  VERBATIM)

# Man pages, compressed as Debian installs them.
set(duduri_man ${CMAKE_CURRENT_BINARY_DIR}/man)
set(duduri_man_files)
foreach(page duduri.6 duduri-pack.1)
  add_custom_command(
    OUTPUT ${duduri_man}/${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${duduri_man}
    COMMAND gzip -9nc ${duduri_packaging}/${page} > ${duduri_man}/${page}.gz
    DEPENDS ${duduri_packaging}/${page}
    COMMENT "Compressing the man page ${page}")
  list(APPEND duduri_man_files ${duduri_man}/${page}.gz)
endforeach()
add_custom_target(duduri_desktop_files ALL DEPENDS ${duduri_icon_files} ${duduri_man_files})

install(TARGETS duduri_player duduri-pack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/all.pzjc ${CMAKE_CURRENT_BINARY_DIR}/sample.pzp
        DESTINATION ${CMAKE_INSTALL_DATADIR}/duduri)
# The sample of each window style (data/StyleSamples.cmake), to open from the
# player's Recent menu or the file manager.
install(DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/samples/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/duduri/samples OPTIONAL
        FILES_MATCHING PATTERN "*.pzp")
install(FILES ${duduri_packaging}/${duduri_app_id}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${duduri_packaging}/${duduri_app_id}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${duduri_packaging}/duduri-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME duduri.xml)
install(DIRECTORY ${duduri_icons}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${duduri_man}/duduri.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${duduri_man}/duduri-pack.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# ---- The Debian package ----------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME duduri)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Morvenhal")
set(CPACK_PACKAGE_CONTACT "Morvenhal Duduri developers <duduri@morvenhal.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "jigsaw puzzles of pictures and of your own photos")
set(CPACK_PACKAGE_DESCRIPTION
    "Morvenhal Duduri cuts a picture into interlocking pieces to be put together\n\
again. Any photograph (JPEG, PNG, BMP, WebP, GIF) opens as a puzzle at once,\n\
and duduri-pack builds puzzle projects and self-contained puzzle programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from dpkg-shlibdeps; what is loaded as a plugin does not
# show there: the X11 platform plugin and the WebP reader.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins")
# Sounds: the General MIDI soundfont and the GStreamer plug-ins that decode
# MP3 and WMA are found at run time, so dpkg-shlibdeps cannot see them; a game
# without them plays silently.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, shared-mime-info, \
timgm6mb-soundfont | fluid-soundfont-gm, gstreamer1.0-plugins-good, \
gstreamer1.0-plugins-ugly, gstreamer1.0-libav")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${duduri_packaging}/postinst;${duduri_packaging}/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)

# ---- Tests of the installed layout and of the package ------------------------------
if(DUDURI_TESTS)
  add_test(NAME install_layout
    COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-install.sh ${CMAKE_BINARY_DIR}
            ${PROJECT_SOURCE_DIR})
  set_tests_properties(install_layout PROPERTIES LABELS install TIMEOUT 120)
  # Packaging a sanitizer build would only test the sanitizers' libraries.
  if(NOT DUDURI_SANITIZE)
    add_test(NAME package_depends
      COMMAND ${PROJECT_SOURCE_DIR}/tests/install/check-package.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(package_depends PROPERTIES LABELS install TIMEOUT 300 RUN_SERIAL TRUE)
  endif()
endif()
