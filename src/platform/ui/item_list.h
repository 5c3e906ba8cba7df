#pragma once
// The host's item list as the toolkit shows it: a modal window listing the
// rows of a result set, from which the user picks one. The host's ListaItems
// component decides what to show and when; the toolkit only shows it.

#include "window.h"

#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

namespace ui {

using ItemRow = std::vector<vb::Variant>;

// Rows read one at a time, so that a list of a million rows opens at once and
// only the rows the user scrolls to are read.
class RowSource {
public:
    virtual ~RowSource();
    virtual bool atEnd() const = 0;
    // The current row, then moves to the next one.
    virtual ItemRow takeRow() = 0;
};

struct ItemListLayout {
    QString title;
    // One heading per column position; a position whose heading is empty, or
    // that has no heading at all, is not shown.
    QStringList headings;
    // Widths in twips and display masks (the platform's Format) by position.
    std::map<int, Twips> widths;
    std::map<int, QString> formats;
    // Width of the whole list window in twips.
    Twips width = 0;
};

// The row the user chose, or nothing when the list was closed without a choice.
using ItemChoice = std::optional<ItemRow>;

// What one run of the host's item list did, reported to the toolkit whether a
// window opened or not: the statement, how many rows were read from it, the
// shown columns and the first rows as the list shows them, and the result.
struct ItemListReport {
    QString title;
    // The "|"-separated headings as the caller gave them.
    QString header;
    QString sql;
    int rowsRead = 0;
    // The headings of the shown columns, in position order.
    QStringList columns;
    // Up to FirstRows rows, the shown columns only, each cell as displayed.
    std::vector<QStringList> firstRows;
    int16_t result = 0;

    static constexpr int FirstRows = 20;
};

} // namespace ui
