#pragma once
// The picture box on Qt: a plain widget filled with its back colour, holding
// other windows. It never takes the focus itself.

#include "qt_toolkit.h"

namespace ui {

class QtPictureBox final : public QtWindow<PictureBox> {
public:
    QtPictureBox(QtToolkit &toolkit, QWidget *parent);

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;

private:
    OleColor m_backColor = SystemButtonFace;
};

} // namespace ui
