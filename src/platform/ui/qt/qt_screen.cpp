#include "qt_screen.h"

#include "qt_toolkit.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace ui {

namespace {

// The platform's MousePointer values as Qt cursors.
Qt::CursorShape shapeOf(int16_t pointer)
{
    switch (pointer) {
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 10: return Qt::UpArrowCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return Qt::ArrowCursor;
    }
}

} // namespace

QtScreen::~QtScreen()
{
    if (m_overriding)
        QGuiApplication::restoreOverrideCursor();
}

Twips QtScreen::width() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qt::toTwips(screen->geometry().width(), static_cast<int>(screen->logicalDotsPerInchX())) : 0;
}

Twips QtScreen::height() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? qt::toTwips(screen->geometry().height(), static_cast<int>(screen->logicalDotsPerInchY())) : 0;
}

void QtScreen::setMousePointer(int16_t pointer)
{
    m_pointer = pointer;
    // One override of ours at a time: changed in place, removed for the
    // default pointer, so that the host's own overrides stay balanced.
    if (pointer == 0) {
        if (m_overriding)
            QGuiApplication::restoreOverrideCursor();
        m_overriding = false;
        return;
    }
    const QCursor cursor(shapeOf(pointer));
    if (m_overriding)
        QGuiApplication::changeOverrideCursor(cursor);
    else
        QGuiApplication::setOverrideCursor(cursor);
    m_overriding = true;
}

} // namespace ui
