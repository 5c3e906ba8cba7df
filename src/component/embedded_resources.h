#pragma once
// The resources the library carries (read through VokFindResource, see
// platform/com/resources.h):
//   TYPELIB 1                       the type library (type_library.h)
//   CUSTOM  _IID_VOKTARTICULO       history of the default interface's identities
//   CUSTOM  _SRCIID_VOKTARTICULO    history of the event interface's identities
//   BITMAP  30000                   the toolbox picture, 16 x 15, 16 colours

#include <QByteArray>

namespace component {

inline constexpr char ToolboxBitmapId[] = "30000";

// A 256-byte history as stored: length, then the sixteen identities.
QByteArray identityHistoryResource(bool events);
// The toolbox picture as a BMP file image.
const QByteArray &toolboxBitmap();

} // namespace component
