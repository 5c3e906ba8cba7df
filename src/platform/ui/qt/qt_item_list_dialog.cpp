#include "qt_item_list_dialog.h"

#include "qt_toolkit.h"

#include "platform/vb/format.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace ui {

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
    : QDialog(parent), m_model(new ItemListModel(layout, rows, this)), m_view(new QTableView(this))
{
    setWindowTitle(layout.title);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_view);

    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setTabKeyNavigation(false);
    m_view->setWordWrap(false);
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

    // As wide as the layout asks (within the screen), about twenty rows high.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int width = layout.width > 0 ? qt::toPixels(layout.width, dpi) : 480;
    const int height = m_view->horizontalHeader()->sizeHint().height() +
                       20 * m_view->verticalHeader()->defaultSectionSize() + 2 * m_view->frameWidth();
    resize(std::min(width, available.width()), std::min(height, available.height()));

    m_view->installEventFilter(this);
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) { choose(index); });

    for (int column = 0; column < m_model->columnCount(); ++column) {
        if (!m_view->isColumnHidden(column)) {
            if (m_model->rowCount() > 0)
                m_view->setCurrentIndex(m_model->index(0, column));
            break;
        }
    }
    m_view->setFocus();
}

bool ItemListDialog::eventFilter(QObject *watched, QEvent *event)
{
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
