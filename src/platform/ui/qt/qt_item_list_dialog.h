#pragma once
// The host's item list on Qt: a modal dialog with a table over the rows of a
// result set. Rows are read from the source a page at a time as the user
// scrolls towards them, so a list of a million rows opens at once and holds
// only what was seen. Worked from the keyboard first: arrows, Page Up/Down,
// Home/End move (End reads on to the true last row), Enter chooses the
// current row, Escape closes without a choice; a double click chooses too.
// A code scanned while the list is open chooses nothing: the list closes and
// the code is typed again into the field the cashier comes back to, so that
// it is looked up as scanned. The list opens just below the field that had
// the focus (above it when the screen has no room below), never over what
// was typed, and says how many rows it holds.

#include "platform/ui/item_list.h"

#include <QAbstractTableModel>
#include <QDialog>

class QLabel;
class QTableView;

namespace ui {

class ItemListModel final : public QAbstractTableModel {
public:
    // Rows read from the source per fetch.
    static constexpr int PageSize = 100;

    ItemListModel(const ItemListLayout &layout, RowSource &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    const ItemRow &row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    // Whether a column position is listed: it has a heading (when the
    // layout gives headings at all).
    bool isShown(int column) const;
    // Reads the rows that are left, so that the last one is known.
    void fetchAll();

private:
    ItemListLayout m_layout;
    RowSource &m_source;
    std::vector<ItemRow> m_rows;
    int m_columns = 0;
};

class ItemListDialog final : public QDialog {
public:
    ItemListDialog(const ItemListLayout &layout, RowSource &rows, QWidget *parent = nullptr);

    // The row chosen when the dialog was accepted.
    ItemChoice chosenRow() const { return m_chosen; }
    // The code a scanner typed into the list, which closed it.
    QString scannedCode() const { return m_scanned; }
    QTableView *view() const { return m_view; }
    ItemListModel *model() const { return m_model; }
    // "row / rows" of the current row; "+" after the rows while more are
    // still to be read.
    QString rowCountText() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void choose(const QModelIndex &index);
    void goToRow(int row);
    // Puts the window below the field (global rectangle), or above it.
    void placeBeside(const QRect &field);
    // The shown column with the longest texts takes the room that is left.
    void stretchLongestColumn();

    ItemListModel *m_model;
    QTableView *m_view;
    QLabel *m_count;
    ItemChoice m_chosen;
    QString m_scanned;
    int m_longestColumn = -1;
    int m_longestWidth = 0;
};

} // namespace ui
