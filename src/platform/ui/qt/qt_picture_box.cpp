#include "qt_picture_box.h"

#include <QApplication>

namespace ui {

QtPictureBox::QtPictureBox(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new QWidget(parent))
{
    widget()->setAutoFillBackground(true);
    widget()->setFocusPolicy(Qt::NoFocus);
    setBackColor(m_backColor);
    widget()->show();
}

void QtPictureBox::setBackColor(OleColor colour)
{
    m_backColor = colour;
    qt::setPaletteColor(widget(), QPalette::Window, colour);
}

} // namespace ui
