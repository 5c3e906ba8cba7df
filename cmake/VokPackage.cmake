# The Debian package. Configure a build for the system prefix and let CPack
# make the package (scripts/package does both):
#
#   cmake --preset release -B build/package -DCMAKE_INSTALL_PREFIX=/usr
#   cmake --build build/package && cd build/package && cpack -G DEB
#
# Installing it registers the control and the host components (with the
# language packs) in the system's registry; removing it unregisters them, and
# purging it removes the registry when nothing else is registered there.
set(VOK_SYSTEM_REGISTRY "/etc/xdg/vok/registry.reg" CACHE STRING
  "The registry the Debian package registers its components in")

foreach(script postinst prerm postrm)
  configure_file("${CMAKE_CURRENT_LIST_DIR}/debian/${script}.in" "${PROJECT_BINARY_DIR}/package/debian/${script}"
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vokbarticulo)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Article-entry control for sales applications on Qt")
set(CPACK_PACKAGE_DESCRIPTION "The article-entry control vokTArticulo and its Qt widget, the host components and language packs it creates by name, the console host vokhost, the registration tool vokreg, the headers, CMake package and pkg-config file for host developers, and the Qt Designer plugin.")
set(CPACK_PACKAGE_CONTACT "vokBArticulo maintainers <vokbarticulo@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX "${CMAKE_INSTALL_PREFIX}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# The libraries' own needs (Qt, SQLite, unixODBC, the C++ runtime) are read
# from the binaries; the package's libraries are found among themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_INSTALL_FULL_LIBDIR}")
# A host developer builds against Qt's development files.
# A narrow sans family stands in for the dialogs' Tahoma, so that their labels fit.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-base-dev (>= 6.4), pkg-config, fonts-dejavu-extra")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  "${PROJECT_BINARY_DIR}/package/debian/postinst"
  "${PROJECT_BINARY_DIR}/package/debian/prerm"
  "${PROJECT_BINARY_DIR}/package/debian/postrm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
