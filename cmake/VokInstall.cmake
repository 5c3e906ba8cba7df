# What a host developer installs: the libraries, the public headers, the
# language packs and the shop schema, the console host and the registration
# tool, and the CMake package and pkg-config file that find them.
#
# The CMake package declares its imported targets itself rather than through
# an export set: the libraries are assembled from object libraries whose
# include paths point into the source tree, and none of that is a host's
# business. What a host links is four shared libraries and one include folder.
#
# The headers include each other by their folder ("control/events.h"), which
# in the source tree is below src/. Installed, a host must not get folders as
# generic as control/ or platform/ on its include path: the installed copies
# include each other as <vokBArticulo/control/events.h>, and the one include
# folder a host is given is the prefix's include/.
include(CMakePackageConfigHelpers)

set(VOK_INSTALL_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}/vokBArticulo")
set(VOK_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vokBArticulo")
set(VOK_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/vokBArticulo")
set(VOK_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

# Every installed library carries the release in its file name and the major
# version in its soname, so that a host built against one release keeps
# loading it after another is installed beside it.
set_target_properties(vokplatform vokuiqt vokwidget vokhost PROPERTIES
  VERSION "${PROJECT_VERSION}" SOVERSION "${PROJECT_VERSION_MAJOR}")
install(TARGETS vokplatform vokuiqt vokBArticulo vokwidget vokhost
  LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}")
install(TARGETS vokhost_console vokreg
  RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

# The headers a host includes, with everything they include in turn; the
# install test compiles each one on its own from the installed tree.
set(VOK_PUBLIC_HEADERS
  control/vok_t_articulo.h
  control/enumerations.h
  control/events.h
  widget/vok_articulo_widget.h
  widget/form_persistence.h
  platform/vb/variant.h
  platform/vb/error.h
  platform/vb/conversions.h
  platform/com/guid.h
  platform/com/object.h
  platform/com/status.h
  platform/com/registry.h
  platform/com/registration.h
  platform/com/runtime.h
  platform/com/resources.h
  platform/com/property_bag.h
  platform/rdo/rdo.h
  platform/ui/toolkit.h
  platform/ui/window.h
  platform/ui/item_list.h
  platform/ui/headless/headless_button.h
  platform/ui/headless/headless_check_box.h
  platform/ui/headless/headless_combo_box.h
  platform/ui/headless/headless_form.h
  platform/ui/headless/headless_image.h
  platform/ui/headless/headless_label.h
  platform/ui/headless/headless_picture_box.h
  platform/ui/headless/headless_screen.h
  platform/ui/headless/headless_text_box.h
  platform/ui/headless/headless_toolkit.h
  platform/ui/headless/headless_user_control.h
  platform/ui/headless/headless_window.h
  platform/ui/qt/qt_toolkit.h
)
set(VOK_STAGED_HEADERS_DIR "${PROJECT_BINARY_DIR}/package/include")
set(staged_headers)
set(source_headers)
foreach(header IN LISTS VOK_PUBLIC_HEADERS)
  get_filename_component(folder "${header}" DIRECTORY)
  list(APPEND staged_headers "${VOK_STAGED_HEADERS_DIR}/${header}")
  list(APPEND source_headers "${PROJECT_SOURCE_DIR}/src/${header}")
  install(FILES "${VOK_STAGED_HEADERS_DIR}/${header}" DESTINATION "${VOK_INSTALL_INCLUDEDIR}/${folder}")
endforeach()
add_custom_command(OUTPUT ${staged_headers}
  COMMAND "${CMAKE_COMMAND}" -DSOURCE_DIR=${PROJECT_SOURCE_DIR}/src -DSTAGE_DIR=${VOK_STAGED_HEADERS_DIR}
          "-DHEADERS=${VOK_PUBLIC_HEADERS}" -P "${CMAKE_CURRENT_LIST_DIR}/VokStageHeaders.cmake"
  DEPENDS ${source_headers} "${CMAKE_CURRENT_LIST_DIR}/VokStageHeaders.cmake"
  COMMENT "Staging the public headers for installation"
  VERBATIM)
add_custom_target(vok_staged_headers ALL DEPENDS ${staged_headers})

file(GLOB VOK_INSTALLED_LANGUAGE_PACKS CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/data/lang/*.lng")
install(FILES ${VOK_INSTALLED_LANGUAGE_PACKS} DESTINATION "${VOK_INSTALL_DATADIR}/lang")
install(FILES "${PROJECT_SOURCE_DIR}/data/schema.sql" DESTINATION "${VOK_INSTALL_DATADIR}")
if(EXISTS "${PROJECT_SOURCE_DIR}/data/indexes.sql")
  install(FILES "${PROJECT_SOURCE_DIR}/data/indexes.sql" DESTINATION "${VOK_INSTALL_DATADIR}")
endif()

# The file names the imported targets point at: the real file, and the name
# the dynamic loader looks for.
function(vok_library_files target file_var soname_var)
  get_target_property(version ${target} VERSION)
  get_target_property(soversion ${target} SOVERSION)
  set(base "${CMAKE_SHARED_LIBRARY_PREFIX}${target}${CMAKE_SHARED_LIBRARY_SUFFIX}")
  if(version)
    set(${file_var} "${base}.${version}" PARENT_SCOPE)
  else()
    set(${file_var} "${base}" PARENT_SCOPE)
  endif()
  if(soversion)
    set(${soname_var} "${base}.${soversion}" PARENT_SCOPE)
  else()
    set(${soname_var} "${base}" PARENT_SCOPE)
  endif()
endfunction()
vok_library_files(vokplatform VOK_PLATFORM_FILE VOK_PLATFORM_SONAME)
vok_library_files(vokuiqt VOK_UIQT_FILE VOK_UIQT_SONAME)
vok_library_files(vokBArticulo VOK_CONTROL_FILE VOK_CONTROL_SONAME)
vok_library_files(vokwidget VOK_WIDGET_FILE VOK_WIDGET_SONAME)
vok_library_files(vokhost VOK_HOST_FILE VOK_HOST_SONAME)

configure_package_config_file(
  "${CMAKE_CURRENT_LIST_DIR}/vokBArticuloConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/package/vokBArticuloConfig.cmake"
  INSTALL_DESTINATION "${VOK_INSTALL_CMAKEDIR}"
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR VOK_INSTALL_INCLUDEDIR CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_BINDIR
            VOK_INSTALL_DATADIR)
write_basic_package_version_file(
  "${PROJECT_BINARY_DIR}/package/vokBArticuloConfigVersion.cmake"
  VERSION "${PROJECT_VERSION}"
  COMPATIBILITY SameMajorVersion)
install(FILES
  "${PROJECT_BINARY_DIR}/package/vokBArticuloConfig.cmake"
  "${PROJECT_BINARY_DIR}/package/vokBArticuloConfigVersion.cmake"
  DESTINATION "${VOK_INSTALL_CMAKEDIR}")

# pkg-config finds the prefix from the file's own folder, so that an
# installed tree can be moved.
file(RELATIVE_PATH VOK_PREFIX_FROM_PKGCONFIGDIR
  "${CMAKE_INSTALL_PREFIX}/${VOK_INSTALL_PKGCONFIGDIR}" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" VOK_PREFIX_FROM_PKGCONFIGDIR "${VOK_PREFIX_FROM_PKGCONFIGDIR}")
configure_file("${CMAKE_CURRENT_LIST_DIR}/vokBArticulo.pc.in" "${PROJECT_BINARY_DIR}/package/vokBArticulo.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/package/vokBArticulo.pc" DESTINATION "${VOK_INSTALL_PKGCONFIGDIR}")
