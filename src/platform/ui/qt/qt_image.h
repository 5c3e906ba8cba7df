#pragma once
// The image on Qt: a picture drawn at its own size from the element's top
// left corner, never stretched to the element. Its own size is the picture's
// size in twips (from its pixels and resolution) at the screen's dots per
// inch, so a 96-dpi picture shows pixel for pixel.

#include "qt_toolkit.h"

#include <QPixmap>

namespace ui {

class QtImage;

class ImageWidget final : public QWidget {
public:
    explicit ImageWidget(QWidget *parent);
    QPixmap picture;
    QSize pictureSize;

protected:
    void paintEvent(QPaintEvent *event) override;
};

class QtImage final : public QtWindow<Image> {
public:
    QtImage(QtToolkit &toolkit, QWidget *parent);

    void loadPicture(const QString &path) override;
    int32_t pictureHandle() const override { return m_handle; }

private:
    int32_t m_handle = 0;
};

} // namespace ui
