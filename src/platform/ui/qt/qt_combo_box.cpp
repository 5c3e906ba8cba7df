#include "qt_combo_box.h"

#include "platform/vb/error.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyleOption>

namespace ui {

namespace {

// The flat look: no bevel, a one-pixel border (in the highlight colour while
// the list has the focus), the arrow on a plain strip, and the list opening
// below the box rather than over it. Everything else is the application's
// style.
class FlatComboStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        if (control != CC_ComboBox) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        const QPalette &palette = option->palette;
        const bool enabled = option->state & State_Enabled;
        const QRect frame = option->rect.adjusted(0, 0, -1, -1);
        const QRect inside = option->rect.adjusted(1, 1, -1, -1);
        const QRect strip = subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget) & inside;
        painter->save();
        painter->fillRect(option->rect, enabled ? palette.base() : palette.window());
        painter->fillRect(strip, palette.button());
        painter->setPen(palette.color(QPalette::Mid));
        painter->drawLine(strip.topLeft() - QPoint(1, 0), strip.bottomLeft() - QPoint(1, 0));
        painter->setPen(palette.color((option->state & State_HasFocus) ? QPalette::Highlight : QPalette::Dark));
        painter->drawRect(frame);
        QStyleOption arrow(*option);
        arrow.rect = strip;
        drawPrimitive(PE_IndicatorArrowDown, &arrow, painter, widget);
        painter->restore();
    }
};

// One style for every list of the application, gone with the application.
QStyle *flatComboStyle()
{
    static QPointer<FlatComboStyle> style;
    if (!style) {
        style = new FlatComboStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

} // namespace

QtComboBox::QtComboBox(QtToolkit &toolkit, QWidget *parent) : QtWindow(toolkit, new ComboBoxWidget(parent))
{
    auto *combo = static_cast<ComboBoxWidget *>(widget());
    combo->owner = this;
    combo->setEditable(false);
    combo->setStyle(flatComboStyle());
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [this] {
        if (onSelectionChange)
            onSelectionChange();
    });
    setFont(m_font);
    combo->show();
}

QtComboBox::~QtComboBox()
{
    if (auto *combo = static_cast<ComboBoxWidget *>(widget()))
        combo->owner = nullptr;
}

QComboBox *QtComboBox::comboBox() const
{
    return static_cast<QComboBox *>(widget());
}

void QtComboBox::addItem(const QString &caption, int32_t code)
{
    QComboBox *combo = comboBox();
    if (!combo)
        return;
    // Qt selects the first entry of an empty list by itself; the platform's
    // list keeps no selection until one is made.
    const int selected = combo->currentIndex();
    const QSignalBlocker quiet(combo);
    combo->addItem(caption, QVariant(static_cast<int>(code)));
    if (combo->currentIndex() != selected)
        combo->setCurrentIndex(selected);
}

int32_t QtComboBox::listCount() const
{
    return comboBox() ? comboBox()->count() : 0;
}

int32_t QtComboBox::listIndex() const
{
    return comboBox() ? comboBox()->currentIndex() : -1;
}

void QtComboBox::setListIndex(int32_t index)
{
    if (index < -1 || index >= listCount())
        throw vb::Error::standard(vb::err::InvalidPropertyValue);
    // The selection change follows from Qt's signal, on a real change only.
    if (comboBox())
        comboBox()->setCurrentIndex(index);
}

int32_t QtComboBox::itemData(int32_t index) const
{
    if (index < 0 || index >= listCount())
        throw vb::Error::standard(vb::err::InvalidPropertyArrayIndex);
    return comboBox()->itemData(index).toInt();
}

int32_t QtComboBox::findItemData(int32_t code) const
{
    const int32_t count = listCount();
    for (int32_t i = 0; i < count; ++i)
        if (comboBox()->itemData(i).toInt() == code)
            return i;
    return -1;
}

void QtComboBox::setFont(const Font &font)
{
    m_font = font;
    if (widget())
        widget()->setFont(qt::toQFont(font));
}

void QtComboBox::keyLetThrough(QKeyEvent *event, const qt::KeyOutcome &)
{
    // Letters choose an entry by its caption, arrows move the selection;
    // Enter and Escape are ignored by the combo and travel on.
    static_cast<ComboBoxWidget *>(widget())->actOnKey(event);
}

} // namespace ui
