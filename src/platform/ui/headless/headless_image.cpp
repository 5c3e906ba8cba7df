// An image without a display: the picture file it loaded.

#include "headless_image.h"

#include "headless_toolkit.h"
#include "platform/ui/picture_file.h"
#include "platform/vb/error.h"

#include <algorithm>

namespace ui {

void HeadlessImage::loadPicture(const QString &path)
{
    if (path.isEmpty()) {
        m_handle = 0;
        m_path.clear();
        return;
    }
    const PictureFile picture = readPictureFile(path);
    static std::atomic<int32_t> lastPicture{0};
    setWidth(picture.width);
    setHeight(picture.height);
    m_handle = ++lastPicture;
    m_path = path;
}

} // namespace ui
