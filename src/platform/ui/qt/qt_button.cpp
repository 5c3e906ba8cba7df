#include "qt_button.h"

#include <QApplication>

namespace ui {

QtButton::QtButton(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new ButtonWidget(parent))
{
    auto *button = static_cast<ButtonWidget *>(widget());
    button->owner = this;
    button->setAutoDefault(false);
    button->setDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        if (onClick)
            onClick();
    });
    setFont(m_font);
    setBackColor(m_backColor);
    button->show();
}

QtButton::~QtButton()
{
    if (auto *button = static_cast<ButtonWidget *>(widget()))
        button->owner = nullptr;
}

QPushButton *QtButton::button() const
{
    return static_cast<QPushButton *>(widget());
}

QString QtButton::caption() const
{
    return button() ? button()->text() : QString();
}

void QtButton::setCaption(const QString &caption)
{
    if (button())
        button()->setText(caption);
}

void QtButton::setBackColor(OleColor colour)
{
    m_backColor = colour;
    if (!widget())
        return;
    // Drawn by a style sheet, as a style's own button ignores the palette's
    // button colour or adds a bevel to it.
    const QColor face = qt::toQColor(colour, QApplication::palette(widget()));
    widget()->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid %2; padding: 1px 4px; }"
                                           "QPushButton:hover { border-color: palette(highlight); }"
                                           "QPushButton:focus { border-color: palette(highlight); }"
                                           "QPushButton:pressed { background-color: %3; }"
                                           "QPushButton:disabled { color: palette(mid); }")
                                .arg(face.name(), face.darker(160).name(), face.darker(115).name()));
}

void QtButton::setFont(const Font &font)
{
    m_font = font;
    if (widget())
        widget()->setFont(qt::toQFont(font));
}

void QtButton::keyLetThrough(QKeyEvent *event, const qt::KeyOutcome &key)
{
    auto *button = static_cast<ButtonWidget *>(widget());
    if (key.keyAscii == 13) {
        button->animateClick();
        event->accept();
        return;
    }
    button->actOnKey(event);
}

} // namespace ui
