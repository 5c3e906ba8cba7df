#pragma once
// A top-level window of the application on Qt: a dialog-framed widget run in
// its own modal event loop. It is not a QDialog, so that Enter and Escape
// reach the form's handlers instead of a default button or a reject().
//
// Its size in twips is the outer size, frame included, as far as Qt knows the
// frame: the window system tells the frame's margins only once the window is
// mapped, so until then the whole size goes to the client area, and when the
// margins become known the client area shrinks to keep the outer size.

#include "qt_toolkit.h"

#include <QMargins>

class QEventLoop;

namespace ui {

class QtForm;

class FormWidget final : public QWidget {
public:
    FormWidget();
    QtForm *owner = nullptr;

    // Lets the form see the keys of a widget created on it (key preview).
    void watchKeys(QWidget *child) { child->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
};

class QtForm final : public QtWindow<Form> {
public:
    explicit QtForm(QtToolkit &toolkit);
    ~QtForm() override;

    OleColor backColor() const override { return m_backColor; }
    void setBackColor(OleColor colour) override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    bool keyPreview() const override { return m_keyPreview; }
    void setKeyPreview(bool preview) override { m_keyPreview = preview; }
    void setWidth(Twips width) override;
    void setHeight(Twips height) override;

    void showModal() override;
    void unload() override;
    bool isLoaded() const { return m_loaded; }

protected:
    QRect pixelRect() const override;
    void setPixelRect(const QRect &rect) override;

private:
    friend class FormWidget;
    // A key going down in a control of the form, seen first with key preview;
    // true when the control must not see it.
    bool previewKey(const QKeyEvent &event);
    // A key going down with the focus on the form itself.
    void keyPressed(QKeyEvent *event);
    // The window was resized or the frame became known.
    void geometryChanged();
    QMargins frameMargins() const;
    void raiseResizeSince(Twips width, Twips height);

    OleColor m_backColor = SystemButtonFace;
    bool m_keyPreview = false;
    bool m_loaded = false;
    bool m_unloading = false;
    QMargins m_frame;
    QEventLoop *m_modalLoop = nullptr;
};

} // namespace ui
