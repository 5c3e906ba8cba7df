#include "host_toolkit.h"

#include "json_output.h"
#include "platform/ui/constants.h"

#include <QJsonArray>

namespace vokhost {

namespace {
constexpr int16_t IconMask = 0x70;
} // namespace

int16_t HostToolkit::messageBox(const QString &prompt, int16_t style, const QString &title)
{
    const bool error = (style & IconMask) == ui::vbCritical;
    printLine({{"message", QJsonObject{{"kind", error ? "error" : "info"}, {"text", prompt}, {"title", title}}}});
    return m_headless.messageBox(prompt, style, title);
}

void HostToolkit::itemListRan(const ui::ItemListReport &report)
{
    QJsonArray first;
    for (const QStringList &row : report.firstRows)
        first.append(QJsonArray::fromStringList(row));
    printLine({{"list", QJsonObject{{"title", report.title},
                                    {"header", report.header},
                                    {"sql", report.sql},
                                    {"rows", report.rowsRead},
                                    {"columns", QJsonArray::fromStringList(report.columns)},
                                    {"first", first},
                                    {"result", report.result}}}});
}

} // namespace vokhost
