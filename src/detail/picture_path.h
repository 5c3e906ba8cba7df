#pragma once
// Photograph files named as the host's database names them.
//
// The company's image folder and the article's photograph are stored with
// backslashes, often with a drive letter ("D:\Img\TPV\123.jpg"), as the
// shops' Windows hosts wrote them. On this machine a drive letter stands for
// a folder given in the host settings, section [Rutas], one key per letter:
//
//     [Rutas]
//     D=/srv/fotos
//
// maps "D:\Img\TPV\123.jpg" onto "/srv/fotos/Img/TPV/123.jpg". A path
// without a drive letter keeps its place: relative to the current folder, or
// from the root when it starts with a backslash.

#include <QString>

#include <optional>

namespace ui {
class Image;
}

namespace detail {

// The settings section that maps drive letters onto folders.
inline const QString RutasSection = QStringLiteral("Rutas");

// The local file a host path names; nothing when it names a drive that has
// no folder in the settings.
std::optional<QString> localPicturePath(const QString &hostPath);

// Loads the picture a host path names into the image. An empty path removes
// the picture. A path that names no file here (an unmapped drive included) is
// error 53, a file that is no picture error 481; the image then keeps what it
// had.
void loadHostPicture(ui::Image &image, const QString &hostPath);

} // namespace detail
