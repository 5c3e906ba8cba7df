#pragma once
// The label on Qt: a word-wrapped caption cut off at its own rectangle, never
// taking the focus. Its access key moves the focus to the next control in the
// tab order that can take it, looked up when the key is pressed, so that it
// follows controls created after the label and skips disabled ones.

#include "qt_toolkit.h"

#include <QLabel>

namespace ui {

class QtLabel;

class LabelWidget final : public QLabel {
public:
    explicit LabelWidget(QWidget *parent);
    QtLabel *owner = nullptr;

protected:
    bool event(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

class QtLabel final : public QtWindow<Label> {
public:
    QtLabel(QtToolkit &toolkit, QWidget *parent);
    ~QtLabel() override;

    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override;
    Font font() const override { return m_font; }
    void setFont(const Font &font) override;
    OleColor foreColor() const override { return m_foreColor; }
    void setForeColor(OleColor colour) override;
    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;
    Alignment alignment() const override { return m_alignment; }
    void setAlignment(Alignment alignment) override;

    QLabel *label() const;
    // The control the access key gives the focus to now, nullptr when none.
    QWidget *accessKeyTarget() const;

private:
    QString m_caption;
    Font m_font;
    OleColor m_foreColor = 0x80000012u; // button text
    OleColor m_backColor = SystemButtonFace;
    Alignment m_alignment = Alignment::Left;
};

} // namespace ui
