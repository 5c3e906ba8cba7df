#pragma once
// A form without a display: modal showing, unloading, access keys and tab order.

#include "headless_window.h"

#include <optional>

namespace ui {

class HeadlessForm final : public HeadlessWindow<Form> {
public:
    explicit HeadlessForm(HeadlessToolkit &toolkit);

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override { m_backColor = colour; }
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    bool keyPreview() const override { return m_keyPreview; }
    void setKeyPreview(bool preview) override { m_keyPreview = preview; }
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    void showModal() override;
    void unload() override;
    bool isLoaded() const { return m_loaded; }

    // The user presses Alt with a letter: a label with that access key moves
    // the focus to the control after it in tab order, a button is clicked.
    void pressAccessKey(QChar letter);
    // The control that takes the focus after from in tab order (from the
    // start when from is nullptr), wrapping around; nullptr when none can.
    Window *nextInTabOrder(Window *from);

private:
    OleColor m_backColor = SystemButtonFace;
    QString m_caption;
    bool m_keyPreview = false;
    bool m_loaded = false;
};

} // namespace ui
