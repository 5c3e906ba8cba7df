#include "qt_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QWindow>

namespace ui {

FormWidget::FormWidget() : QWidget(nullptr, Qt::Dialog)
{
    setAutoFillBackground(true);
}

bool FormWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !owner || !owner->keyPreview())
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    // Tab moves the focus before any handler of the platform sees it.
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        return false;
    // A key the control with the focus left alone travels up through its
    // containers, which are watched too: the form saw it already.
    auto *target = qobject_cast<QWidget *>(watched);
    QWidget *focus = focusWidget();
    if (target && focus && focus != target && target->isAncestorOf(focus))
        return false;
    return owner->previewKey(*key);
}

void FormWidget::keyPressEvent(QKeyEvent *event)
{
    // Only the keys of the form itself; a control's unused keys end here.
    QWidget *focus = focusWidget();
    if (owner && (!focus || focus == this))
        owner->keyPressed(event);
    else
        event->ignore();
}

void FormWidget::closeEvent(QCloseEvent *event)
{
    // The close box unloads the form like the code would.
    if (owner && owner->isLoaded())
        owner->unload();
    event->accept();
}

void FormWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (owner)
        owner->geometryChanged();
}

void FormWidget::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (owner)
        owner->geometryChanged();
}

void FormWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (owner)
        owner->geometryChanged();
}

QtForm::QtForm(QtToolkit &toolkit) : QtWindow(toolkit, new FormWidget)
{
    static_cast<FormWidget *>(widget())->owner = this;
    setBackColor(m_backColor);
}

QtForm::~QtForm()
{
    if (m_modalLoop)
        m_modalLoop->exit();
    if (auto *form = static_cast<FormWidget *>(widget()))
        form->owner = nullptr;
}

void QtForm::setBackColor(OleColor colour)
{
    m_backColor = colour;
    qt::setPaletteColor(widget(), QPalette::Window, colour);
}

QString QtForm::caption() const
{
    return widget() ? widget()->windowTitle() : QString();
}

void QtForm::setCaption(const QString &caption)
{
    if (widget())
        widget()->setWindowTitle(caption);
}

void QtForm::raiseResizeSince(Twips width, Twips height)
{
    if ((this->width() != width || this->height() != height) && onResize)
        onResize();
}

void QtForm::setWidth(Twips width)
{
    const Twips oldWidth = this->width();
    const Twips oldHeight = height();
    QtWindow::setWidth(width);
    raiseResizeSince(oldWidth, oldHeight);
}

void QtForm::setHeight(Twips height)
{
    const Twips oldWidth = width();
    const Twips oldHeight = this->height();
    QtWindow::setHeight(height);
    raiseResizeSince(oldWidth, oldHeight);
}

QMargins QtForm::frameMargins() const
{
    QWindow *window = widget() ? widget()->windowHandle() : nullptr;
    return window && window->handle() ? window->frameMargins() : QMargins();
}

QRect QtForm::pixelRect() const
{
    return widget()->geometry().marginsAdded(m_frame);
}

void QtForm::setPixelRect(const QRect &rect)
{
    // A top-level widget's geometry is its client area.
    m_frame = frameMargins();
    const QRect client = rect.marginsRemoved(m_frame);
    widget()->setGeometry(client.x(), client.y(), std::max(client.width(), 0), std::max(client.height(), 0));
}

void QtForm::geometryChanged()
{
    if (frameMargins() != m_frame) {
        // The frame became known (or changed): the outer size stays.
        place();
        return;
    }
    const Twips oldWidth = width();
    const Twips oldHeight = height();
    syncFromWidget();
    raiseResizeSince(oldWidth, oldHeight);
}

void QtForm::showModal()
{
    auto *form = static_cast<FormWidget *>(widget());
    if (!form || m_modalLoop)
        return;
    // The window that had the focus gets it back when the form closes.
    const QPointer<QWidget> previous = QApplication::activeWindow();
    const QPointer<QWidget> alive(form);
    m_loaded = true;
    if (onLoad)
        onLoad();
    if (!alive || !m_loaded)
        return;
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
    form->raise();
    form->activateWindow();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    if (alive)
        m_modalLoop = nullptr;
    if (previous)
        previous->activateWindow();
}

void QtForm::unload()
{
    if (!m_loaded || m_unloading)
        return;
    m_unloading = true;
    const QPointer<QWidget> alive(widget());
    if (onUnload)
        onUnload();
    if (!alive)
        return;
    m_loaded = false;
    widget()->hide();
    if (m_modalLoop)
        m_modalLoop->exit();
    m_unloading = false;
}

bool QtForm::previewKey(const QKeyEvent &event)
{
    const QPointer<QWidget> alive(widget());
    const bool wasLoaded = m_loaded;
    int16_t keyCode = qt::keyCodeOf(event);
    int16_t shift = qt::shiftOf(event.modifiers());
    if (onKeyDown)
        onKeyDown(keyCode, shift);
    // A cleared key code, or a form unloaded by its handler, ends the key here.
    return !alive || (wasLoaded && !m_loaded) || keyCode == 0;
}

void QtForm::keyPressed(QKeyEvent *event)
{
    qt::raiseKeyHandlers(*this, widget(), *event);
    event->accept();
}

} // namespace ui
