# The Debian package (cpack -G DEB, run by scripts/package). Library
# dependencies come from dpkg-shlibdeps (librsvg2-2, which draws the drawn
# characters, among them); what the program needs without linking to it is
# listed here: the X11 platform plugin, and fonts for the captions (Arial's
# widths) and for text typed in the voices' scripts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vizmo4-demo)
set(CPACK_PACKAGE_VENDOR "Vizmo4 Demo developers")
set(CPACK_PACKAGE_CONTACT "${VIZMO_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "talking head and text-to-speech demonstration")
# The summary above is the synopsis; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "One window hosts two components and exercises every property, method and
event of each: a player that draws an animated face from model files and
plays animation scripts, and a speech component that reads typed text aloud
through eSpeak NG or Flite while it moves the face's mouth in sync.
.
Sample models, scripts and backgrounds are included.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VIZMO_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts: Liberation Sans has Arial's widths; WenQuanYi Micro Hei covers Chinese,
# Japanese kana and Korean hangul in 5 MB (Noto CJK takes 90); FreeFont covers
# the other voices' scripts but Telugu, Kannada and Myanmar, which Lohit and
# Padauk add.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, fonts-liberation, fonts-wqy-microhei, fonts-freefont-ttf, fonts-lohit-telu, fonts-lohit-knda, fonts-sil-padauk")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants the copyright and a compressed changelog under doc/, and a manual page.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
configure_file(changelog.in changelog @ONLY)
add_custom_command(OUTPUT changelog.Debian.gz
  COMMAND gzip -9nc changelog > changelog.Debian.gz
  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/changelog)
set(manual_pages)
foreach(page vizmo4-demo vizmo4-preview)
  add_custom_command(OUTPUT ${page}.1.gz
    COMMAND gzip -9nc ${CMAKE_CURRENT_SOURCE_DIR}/${page}.1 > ${page}.1.gz
    DEPENDS ${page}.1)
  list(APPEND manual_pages ${CMAKE_CURRENT_BINARY_DIR}/${page}.1.gz)
endforeach()
add_custom_target(vizmo_package_docs ALL DEPENDS changelog.Debian.gz ${manual_pages})
install(FILES copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz DESTINATION ${doc_dir})
install(FILES ${manual_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# How to draw a character of one's own: the guide, the pictures it shows and
# the template to start from.
install(FILES ${PROJECT_SOURCE_DIR}/docs/draw-your-own-character.md ${PROJECT_SOURCE_DIR}/docs/character-template.svg
        DESTINATION ${doc_dir})
install(FILES ${PROJECT_SOURCE_DIR}/docs/images/draw-your-own.png ${PROJECT_SOURCE_DIR}/docs/images/mira-life-recording.png
              ${PROJECT_SOURCE_DIR}/docs/images/drawn-elsewhere.png
        DESTINATION ${doc_dir}/images)

include(CPack)
