#include "qt_item_list_dialog.h"

#include "qt_scanner.h"
#include "qt_toolkit.h"

#include "platform/vb/format.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

namespace {
constexpr int FewestRowsShown = 4;
constexpr int MostRowsShown = 20;
} // namespace

ItemListModel::ItemListModel(const ItemListLayout &layout, RowSource &rows, QObject *parent)
    : QAbstractTableModel(parent), m_layout(layout), m_source(rows)
{
    // The first page decides how many columns the rows have.
    while (static_cast<int>(m_rows.size()) < PageSize && !m_source.atEnd())
        m_rows.push_back(m_source.takeRow());
    m_columns = static_cast<int>(m_layout.headings.size());
    if (!m_rows.empty())
        m_columns = std::max(m_columns, static_cast<int>(m_rows.front().size()));
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ItemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

bool ItemListModel::isShown(int column) const
{
    if (m_layout.headings.isEmpty())
        return true;
    return column < m_layout.headings.size() && !m_layout.headings.at(column).isEmpty();
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()))
        return {};
    const ItemRow &row = m_rows[static_cast<size_t>(index.row())];
    if (index.column() >= static_cast<int>(row.size()))
        return {};
    const vb::Variant &value = row[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole: {
        const auto mask = m_layout.formats.find(index.column());
        try {
            return vb::Format(value, mask == m_layout.formats.end() ? QString() : mask->second);
        } catch (const std::exception &) {
            return QString();
        }
    }
    case Qt::TextAlignmentRole:
        if (value.isNumeric() && value.type() != vb::VarType::Boolean)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section < m_layout.headings.size() ? m_layout.headings.at(section) : QString();
}

bool ItemListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_source.atEnd();
}

void ItemListModel::fetchAll()
{
    while (canFetchMore({}))
        fetchMore({});
}

void ItemListModel::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    std::vector<ItemRow> page;
    while (static_cast<int>(page.size()) < PageSize && !m_source.atEnd())
        page.push_back(m_source.takeRow());
    if (page.empty())
        return;
    const int first = static_cast<int>(m_rows.size());
    beginInsertRows({}, first, first + static_cast<int>(page.size()) - 1);
    for (ItemRow &row : page)
        m_rows.push_back(std::move(row));
    endInsertRows();
}

ItemListDialog::ItemListDialog(const ItemListLayout &layout, RowSource &rows, QWidget *parent)
    : QDialog(parent), m_model(new ItemListModel(layout, rows, this)), m_view(new QTableView(this)),
      m_count(new QLabel(this))
{
    // The field the cashier typed into, which the list must leave visible.
    const QWidget *field = QApplication::focusWidget();
    setWindowTitle(layout.title);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_view);
    box->addWidget(m_count);
    m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_count->setContentsMargins(6, 2, 6, 2);

    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
    // A variety's name ends with the variety: cut the middle, not the end.
    m_view->setTextElideMode(Qt::ElideMiddle);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->horizontalHeader()->setVisible(!layout.headings.isEmpty());
    m_view->horizontalHeader()->setStretchLastSection(true);

    const int dpi = logicalDpiX();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        m_view->setColumnHidden(column, !m_model->isShown(column));
        if (const auto width = layout.widths.find(column); width != layout.widths.end())
            m_view->setColumnWidth(column, qt::toPixels(width->second, dpi));
    }
    stretchLongestColumn();

    // As wide as the layout asks (within the screen), as high as its rows up
    // to twenty: a short list hides less of the sale.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = layout.width > 0 ? qt::toPixels(layout.width, dpi) : 480;
    const int rowsShown = m_model->canFetchMore({}) ? MostRowsShown : std::clamp(m_model->rowCount(), FewestRowsShown, MostRowsShown);
    const int height = m_view->horizontalHeader()->sizeHint().height() +
                       rowsShown * m_view->verticalHeader()->defaultSectionSize() + 2 * m_view->frameWidth() +
                       m_count->sizeHint().height();
    resize(std::min(width, available.width()), std::min(height, available.height()));
    if (field && field->window() != this)
        placeBeside(QRect(field->mapToGlobal(QPoint(0, 0)), field->size()));

    m_view->installEventFilter(this);
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { choose(index); });
    // Installed after the list's own filter, so it sees the keys first: the
    // Enter that ends a scan must not choose the highlighted row.
    new qt::ScannerWatch(m_view, [this](const QString &code) {
        m_scanned = code;
        reject();
        qt::typeAhead(code + u'\r');
    });

    const auto showCount = [this] { m_count->setText(rowCountText()); };
    connect(m_model, &QAbstractItemModel::rowsInserted, this, showCount);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, showCount);
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (!m_view->isColumnHidden(column)) {
            if (m_model->rowCount() > 0)
                m_view->setCurrentIndex(m_model->index(0, column));
            break;
        }
    }
    showCount();
    m_view->setFocus();
}

QString ItemListDialog::rowCountText() const
{
    const int current = m_view->currentIndex().isValid() ? m_view->currentIndex().row() + 1 : 0;
    return QStringLiteral("%1 / %2%3")
        .arg(current)
        .arg(m_model->rowCount())
        .arg(m_model->canFetchMore({}) ? QStringLiteral("+") : QString());
}

void ItemListDialog::placeBeside(const QRect &field)
{
    const QScreen *screen = QGuiApplication::screenAt(field.center());
    if (!screen)
        screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // The window manager's frame is not known before the window shows; a
    // title bar and a border are a fair guess of what it adds.
    const int frame = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    const int below = available.bottom() - field.bottom();
    const int above = field.top() - available.top();
    const int outer = height() + frame;
    const bool downwards = outer <= below || below >= above;
    if (outer > (downwards ? below : above))
        resize(width(), std::max((downwards ? below : above) - frame, m_view->verticalHeader()->defaultSectionSize() * 4));
    const int x = std::clamp(field.left(), available.left(), std::max(available.left(), available.right() + 1 - width()));
    const int y = downwards ? field.bottom() + 1 : field.top() - (height() + frame);
    move(x, std::max(y, available.top()));
}

void ItemListDialog::stretchLongestColumn()
{
    int longest = -1;
    qsizetype longestText = 0;
    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (m_view->isColumnHidden(column))
            continue;
        for (int row = 0; row < m_model->rowCount(); ++row) {
            const qsizetype length = m_model->index(row, column).data().toString().size();
            if (length > longestText) {
                longestText = length;
                longest = column;
            }
        }
    }
    if (longest < 0)
        return;
    m_view->horizontalHeader()->setStretchLastSection(false);
    m_longestColumn = longest;
    m_longestWidth = m_view->columnWidth(longest);
}

void ItemListDialog::goToRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int column = m_view->currentIndex().isValid() ? m_view->currentIndex().column() : 0;
    m_view->setCurrentIndex(m_model->index(row, column));
    m_view->scrollTo(m_view->currentIndex());
}

bool ItemListDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Resize) {
        // The longest texts (the names) take whatever room the window has
        // beyond the other columns, and keep at least their given width.
        if (m_longestColumn >= 0) {
            int others = 0;
            for (int column = 0; column < m_model->columnCount(); ++column)
                if (!m_view->isColumnHidden(column) && column != m_longestColumn)
                    others += m_view->columnWidth(column);
            const int room = m_view->viewport()->width() - others;
            m_view->setColumnWidth(m_longestColumn, std::max(room, m_longestWidth));
        }
    }
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose(m_view->currentIndex());
            return true;
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Home:
            goToRow(0);
            return true;
        case Qt::Key_End:
            // The last row, not the last one read so far.
            m_model->fetchAll();
            goToRow(m_model->rowCount() - 1);
            return true;
        case Qt::Key_PageDown: {
            // A page down near the end of what was read reads on first.
            const int page = std::max(1, m_view->viewport()->height() / m_view->verticalHeader()->defaultSectionSize());
            if (m_view->currentIndex().row() + page >= m_model->rowCount() && m_model->canFetchMore({}))
                m_model->fetchMore({});
            break;
        }
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ItemListDialog::choose(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_chosen = m_model->row(index.row());
    accept();
}

} // namespace ui
