#include "qt_image.h"

#include "platform/ui/picture_file.h"

#include <QPainter>

#include <limits>

namespace ui {

ImageWidget::ImageWidget(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void ImageWidget::paintEvent(QPaintEvent *)
{
    if (picture.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), pictureSize), picture);
}

QtImage::QtImage(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new ImageWidget(parent))
{
    widget()->show();
}

void QtImage::loadPicture(const QString &path)
{
    auto *image = static_cast<ImageWidget *>(widget());
    if (path.isEmpty()) {
        m_handle = 0;
        if (image) {
            image->picture = QPixmap();
            image->update();
        }
        return;
    }
    // Read first: a file that cannot be read leaves the element as it was.
    const PictureFile file = readPictureFile(path);
    // A handle of its own for every picture held, never 0.
    static int32_t lastHandle = 0;
    if (lastHandle == std::numeric_limits<int32_t>::max())
        lastHandle = 0;
    m_handle = ++lastHandle;
    setWidth(file.width);
    setHeight(file.height);
    if (image) {
        image->picture = QPixmap::fromImage(file.image);
        image->pictureSize = QSize(qt::toPixels(file.width, dpiX()), qt::toPixels(file.height, dpiY()));
        image->update();
    }
}

} // namespace ui
