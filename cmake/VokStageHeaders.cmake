# cmake -DSOURCE_DIR=... -DSTAGE_DIR=... -DHEADERS=a.h;b.h -P VokStageHeaders.cmake
#
# Copies the public headers into the layout they are installed in, with the
# project's own includes by folder ("platform/vb/variant.h") turned into
# <vokBArticulo/platform/vb/variant.h>. Includes relative to the header's own
# folder ("events.h", "../window.h") stay as they are: they hold in both trees.
foreach(header IN LISTS HEADERS)
  file(READ "${SOURCE_DIR}/${header}" text)
  string(REGEX REPLACE "#include \"((control|platform|widget)/[^\"]+)\"" "#include <vokBArticulo/\\1>" text "${text}")
  file(WRITE "${STAGE_DIR}/${header}" "${text}")
endforeach()
