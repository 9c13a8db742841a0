# The Debian package made by scripts/package: CPack's DEB generator over the install rules, with
# the dependencies dpkg-shlibdeps finds in the built programs. Included last, once every install
# rule exists.
set(QUILLRUN_PACKAGE_MAINTAINER "Tandrel <quillrun@tandrel.com>" CACHE STRING
    "The Maintainer of the Debian package")
set(quillrunPackaging ${CMAKE_SOURCE_DIR}/packaging/debian)

# What Debian asks of every package: the copyright and a changelog, compressed as dpkg expects.
configure_file(${quillrunPackaging}/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/packaging/changelog)
install(FILES ${quillrunPackaging}/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillrun)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillrun)
set(CPACK_PACKAGE_VENDOR Tandrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLRUN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converts folders of scanned images into documents")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillrun watches a folder tree into which scanned TIFF and PDF images
arrive and has a reading program turn each new image into a searchable
document in a mirrored destination tree, unattended, with per-page
recognition statistics and an activity log.
.
The package holds the Quillrun dialog, the headless quillrun-service with
its systemd units, the stand-in reading program orlavex (on Tesseract),
which it registers for the machine, and the demo.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no library link shows: the language data orlavex reads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tesseract-ocr-eng, tesseract-ocr-osd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${quillrunPackaging}/postinst ${quillrunPackaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
