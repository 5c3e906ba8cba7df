#include "suggestions.h"

#include "control/vok_t_articulo.h"
#include "lookup/query_builder.h"
#include "platform/rdo/rdo.h"
#include "platform/ui/delegating_toolkit.h"
#include "platform/vb/conversions.h"
#include "platform/vb/format.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

#include <algorithm>
#include <deque>

namespace vokwidget {

namespace {

using lookup::Columna;
using lookup::posicion;

QString textOf(const vb::Variant &value)
{
    if (value.isNull() || value.isEmpty())
        return {};
    try {
        return vb::CStr(value);
    } catch (const std::exception &) {
        return {};
    }
}

QString formatted(const vb::Variant &value, const QString &mask)
{
    if (value.isNull() || value.isEmpty())
        return {};
    try {
        return vb::Format(value, mask);
    } catch (const std::exception &) {
        return {};
    }
}

// Where the layout's currency, price and stock sit in a lookup row, after the
// name (the column list of lookup/query_builder.cpp): layout 1 adds currency
// and price, 2 the stock after them, 3 a description and a brand before all
// three. -1 where the layout has none.
struct PriceColumns {
    int currency = -1;
    int price = -1;
    int stock = -1;
};

PriceColumns priceColumns(uint8_t formatoLista)
{
    const int first = posicion(Columna::PrimeraDelFormato);
    switch (formatoLista) {
    case 1:
        return {first, first + 1, -1};
    case 2:
        return {first, first + 1, first + 2};
    case 3:
        return {first + 2, first + 3, first + 4};
    default:
        return {};
    }
}

// A row as the popup shows it: the price as the list's price column shows it,
// the stock in the decimals of the article's unit, as the list shows
// quantities.
Suggestion suggestionOf(ui::ItemRow row, uint8_t formatoLista)
{
    const auto at = [&row](int position) {
        return position >= 0 && position < static_cast<int>(row.size()) ? row[static_cast<size_t>(position)]
                                                                          : vb::Variant();
    };
    Suggestion suggestion;
    suggestion.code = textOf(at(posicion(Columna::ArtCodigo)));
    suggestion.name = textOf(at(posicion(Columna::NombreArt))).trimmed();
    const PriceColumns columns = priceColumns(formatoLista);
    if (columns.price >= 0) {
        const QString price = formatted(at(columns.price), QStringLiteral("#,##0.00"));
        const QString currency = textOf(at(columns.currency)).trimmed();
        suggestion.price = currency.isEmpty() || price.isEmpty() ? price : currency + u' ' + price;
    }
    if (columns.stock >= 0) {
        const int decimals = std::clamp(static_cast<int>(vb::Val(textOf(at(posicion(Columna::UMeDecimales))))), 0, 9);
        suggestion.stock = formatted(at(columns.stock), decimals == 0 ? QStringLiteral("#,##0")
                                                                      : QStringLiteral("#,##0.") + QString(decimals, u'0'));
    }
    suggestion.row = std::move(row);
    return suggestion;
}

// The first rows of the statement, read through the control's connection and
// closed before returning.
std::vector<Suggestion> firstRows(rdo::rdoConnection &connection, const QString &sql, uint8_t formatoLista)
{
    const std::shared_ptr<rdo::rdoResultset> result = connection.OpenResultset(sql);
    std::vector<Suggestion> rows;
    try {
        while (rows.size() < static_cast<size_t>(Suggestions::MaxRows) && !result->Eof()) {
            const rdo::rdoColumns &columns = result->rdoColumns();
            ui::ItemRow row;
            for (int32_t i = 0; i < columns.Count(); ++i)
                row.push_back(columns.Item(i).Value());
            rows.push_back(suggestionOf(std::move(row), formatoLista));
            result->MoveNext();
        }
    } catch (...) {
        result->Close();
        throw;
    }
    result->Close();
    return rows;
}

// The same row of the list: the same match (Tipo, bar code), article,
// variety and code. The list formats only columns right of the code.
bool sameRow(const ui::ItemRow &a, const ui::ItemRow &b)
{
    for (Columna column : {Columna::Tipo, Columna::CodigoBarra, Columna::ArtID, Columna::Variedad, Columna::ArtCodigo}) {
        const auto p = static_cast<size_t>(posicion(column));
        if (p >= a.size() || p >= b.size() || textOf(a[p]) != textOf(b[p]))
            return false;
    }
    return true;
}

// Rows already taken from a source, handed out again before the rest.
class Replayed final : public ui::RowSource {
public:
    Replayed(std::deque<ui::ItemRow> taken, ui::RowSource &rest) : m_taken(std::move(taken)), m_rest(rest) {}
    bool atEnd() const override { return m_taken.empty() && m_rest.atEnd(); }
    ui::ItemRow takeRow() override
    {
        if (m_taken.empty())
            return m_rest.takeRow();
        ui::ItemRow row = std::move(m_taken.front());
        m_taken.pop_front();
        return row;
    }

private:
    std::deque<ui::ItemRow> m_taken;
    ui::RowSource &m_rest;
};

// The toolkit while Enter takes a suggestion: the candidate list answers the
// suggestion's row as the cashier's choice, without opening. Should the list
// no longer hold that row where the popup showed it (the shop's file changed
// in between), it opens as always, whole.
class AnswersWithRow final : public ui::DelegatingToolkit {
public:
    AnswersWithRow(ui::Toolkit &inner, int index, ui::ItemRow row)
        : DelegatingToolkit(inner), m_index(index), m_row(std::move(row))
    {
    }
    ui::ItemChoice showItemList(const ui::ItemListLayout &layout, ui::RowSource &rows) override
    {
        std::deque<ui::ItemRow> taken;
        while (!rows.atEnd() && static_cast<int>(taken.size()) <= m_index)
            taken.push_back(rows.takeRow());
        if (static_cast<int>(taken.size()) == m_index + 1 && sameRow(taken.back(), m_row))
            return taken.back();
        Replayed replayed(std::move(taken), rows);
        return DelegatingToolkit::showItemList(layout, replayed);
    }

private:
    int m_index;
    ui::ItemRow m_row;
};

// Installs a toolkit for the thread while it lives, then gives back the one before.
class ToolkitInForce {
public:
    explicit ToolkitInForce(ui::Toolkit &toolkit) : m_before(ui::toolkit()) { ui::setToolkit(&toolkit); }
    ~ToolkitInForce() { ui::setToolkit(&m_before); }
    ToolkitInForce(const ToolkitInForce &) = delete;
    ToolkitInForce &operator=(const ToolkitInForce &) = delete;

private:
    ui::Toolkit &m_before;
};

constexpr int Margin = 4;
constexpr int MaxWidth = 720;

} // namespace

SuggestionPopup::SuggestionPopup(QWidget *parent) : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("suggestions"));
}

void SuggestionPopup::setRows(std::vector<Suggestion> rows)
{
    m_rows = std::move(rows);
    m_highlighted = -1;
    update();
}

void SuggestionPopup::moveHighlight(int step)
{
    const int count = static_cast<int>(m_rows.size());
    m_highlighted = std::clamp(m_highlighted + step, -1, count - 1);
    update();
}

int SuggestionPopup::rowHeight() const
{
    return fontMetrics().height() + 4;
}

int SuggestionPopup::rowAt(int y) const
{
    const int row = (y - 1) / rowHeight();
    return y >= 1 && row < static_cast<int>(m_rows.size()) ? row : -1;
}

void SuggestionPopup::placeUnder(const QLineEdit &box)
{
    setFont(box.font());
    const QFontMetrics metrics = fontMetrics();
    int code = 0, name = 0, price = 0, stock = 0;
    for (const Suggestion &s : m_rows) {
        code = std::max(code, metrics.horizontalAdvance(s.code));
        name = std::max(name, metrics.horizontalAdvance(s.name));
        price = std::max(price, metrics.horizontalAdvance(s.price));
        stock = std::max(stock, metrics.horizontalAdvance(s.stock));
    }
    const int wanted = code + name + price + stock + 5 * 3 * Margin;
    const int width = std::clamp(wanted, box.width(), std::max(box.width(), MaxWidth));
    const int height = static_cast<int>(m_rows.size()) * rowHeight() + 2;
    QPoint at = box.mapToGlobal(QPoint(0, box.height()));
    if (const QScreen *screen = box.screen()) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height > area.bottom())
            at.setY(box.mapToGlobal(QPoint(0, 0)).y() - height);
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width)));
    }
    setGeometry(QRect(at, QSize(width, height)));
}

void SuggestionPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette colours = palette();
    painter.fillRect(rect(), colours.base());
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const QFontMetrics metrics = fontMetrics();
    int codeWidth = 0, priceWidth = 0, stockWidth = 0;
    for (const Suggestion &s : m_rows) {
        codeWidth = std::max(codeWidth, metrics.horizontalAdvance(s.code));
        priceWidth = std::max(priceWidth, metrics.horizontalAdvance(s.price));
        stockWidth = std::max(stockWidth, metrics.horizontalAdvance(s.stock));
    }
    const int h = rowHeight();
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        const Suggestion &s = m_rows[static_cast<size_t>(i)];
        const QRect line(1, 1 + i * h, width() - 2, h);
        const bool lit = i == m_highlighted;
        if (lit)
            painter.fillRect(line, colours.highlight());
        painter.setPen(colours.color(lit ? QPalette::HighlightedText : QPalette::Text));
        QRect cell = line.adjusted(Margin, 0, -Margin, 0);
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, s.code);
        const int stockLeft = cell.right() - stockWidth;
        const int priceLeft = stockLeft - (stockWidth ? 3 * Margin : 0) - priceWidth;
        if (stockWidth)
            painter.drawText(QRect(stockLeft, cell.top(), stockWidth, h), Qt::AlignRight | Qt::AlignVCenter, s.stock);
        if (priceWidth)
            painter.drawText(QRect(priceLeft, cell.top(), priceWidth, h), Qt::AlignRight | Qt::AlignVCenter, s.price);
        const int nameLeft = cell.left() + codeWidth + 3 * Margin;
        const QRect nameCell(nameLeft, cell.top(), priceLeft - 3 * Margin - nameLeft, h);
        painter.drawText(nameCell, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(s.name, Qt::ElideRight, nameCell.width()));
    }
}

void SuggestionPopup::mousePressEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (row < 0)
        return;
    m_highlighted = row;
    update();
    emit clicked(row);
}

Suggestions::Suggestions(vokTArticulo &control, QLineEdit &box, QWidget *owner)
    : m_control(control), m_box(box), m_popup(new SuggestionPopup(owner))
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, &Suggestions::refresh);
    connect(&m_box, &QLineEdit::textEdited, this, &Suggestions::edited);
    connect(m_popup, &SuggestionPopup::clicked, this, [this] {
        // A click takes the row as Enter does, through the box's own keys.
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(&m_box, &enter);
    });
    m_box.installEventFilter(this);
}

Suggestions::~Suggestions()
{
    m_box.removeEventFilter(this);
    delete m_popup;
}

bool Suggestions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_box || m_forwarding)
        return false;
    if (event->type() == QEvent::FocusOut) {
        close();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    m_quickKey = m_sinceKey.isValid() && m_sinceKey.elapsed() < QuietMs;
    m_sinceKey.start();
    auto *key = static_cast<QKeyEvent *>(event);
    if (!m_popup->isVisible()) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            close(); // a scanner's Enter: whatever was waiting to show never does
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
        if (key->modifiers() != Qt::NoModifier)
            return false;
        m_popup->moveHighlight(key->key() == Qt::Key_Down ? 1 : -1);
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_popup->highlighted() >= 0) {
            take(*key);
            return true;
        }
        close();
        return false;
    default:
        return false;
    }
}

void Suggestions::edited()
{
    if (vb::Trim(m_box.text()).isEmpty()) {
        close();
        return;
    }
    if (m_following && !m_quickKey) {
        refresh();
        return;
    }
    // A burst, or its first key: wait for the keyboard to be quiet.
    m_following = false;
    m_popup->hide();
    m_quiet.start();
}

// Reads run on this thread and take a few milliseconds; keys that arrive
// meanwhile wait in the queue and each refreshes in turn. Rows are shown
// only while the box still holds the text they were read for.
void Suggestions::refresh()
{
    m_quiet.stop();
    const QString text = m_box.text();
    m_following = true;
    std::vector<Suggestion> rows;
    if (!vb::Trim(text).isEmpty() && m_control.connection() && m_box.hasFocus()) {
        try {
            const QString sql = m_control.SentenciaDeBusqueda(text);
            rows = firstRows(*m_control.connection(), sql, m_control.FormatoLista());
        } catch (const std::exception &) {
            // Enter will run the same statement and report its error.
            rows.clear();
        }
    }
    if (rows.empty() || m_box.text() != text) {
        m_popup->hide();
        return;
    }
    m_popup->setRows(std::move(rows));
    m_popup->placeUnder(m_box);
    m_popup->show();
}

void Suggestions::close()
{
    m_quiet.stop();
    m_following = false;
    m_popup->hide();
}

void Suggestions::take(QKeyEvent &enter)
{
    const int index = m_popup->highlighted();
    ui::ItemRow row = m_popup->rows()[static_cast<size_t>(index)].row;
    close();
    AnswersWithRow answers(ui::toolkit(), index, std::move(row));
    const ToolkitInForce inForce(answers);
    QKeyEvent forwarded(enter.type(), enter.key(), enter.modifiers(), enter.text());
    m_forwarding = true;
    QCoreApplication::sendEvent(&m_box, &forwarded);
    m_forwarding = false;
}

} // namespace vokwidget
