// Sample photographs: one small picture per article that names a photograph,
// so that the detail view has something to show on a generated catalogue.

#include "catalogue.h"

#include <sqlite3.h>

#include <QColor>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace vok::catalogue {

namespace {

// 240 x 180 pixels at 96 dots per inch: 3600 x 2700 twips, which fits
// between the view's price line and its description.
constexpr int kWidth = 240;
constexpr int kHeight = 180;
constexpr int kDotsPerMetre = 3780;

QImage photo(const QString &code)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    // A light colour of its own for every code, the same on every run.
    const QColor background = QColor::fromHsv(static_cast<int>(qHash(code, 0) % 360), 60, 235);
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(background.darker(160), 6));
    painter.setBrush(background.darker(115));
    painter.drawEllipse(QRectF(kWidth * 0.2, kHeight * 0.15, kWidth * 0.6, kHeight * 0.7));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(3, 3, kWidth - 6, kHeight - 6));
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QFont font(QStringLiteral("Sans Serif"));
        font.setPixelSize(30);
        font.setBold(true);
        // Long codes are drawn smaller, so that they stay inside the oval.
        if (const int advance = QFontMetrics(font).horizontalAdvance(code); advance > kWidth / 2)
            font.setPixelSize(std::max(12, 30 * (kWidth / 2) / advance));
        painter.setFont(font);
        painter.setPen(background.darker(300));
        painter.drawText(image.rect(), Qt::AlignCenter, code);
    }
    return image;
}

} // namespace

std::uint64_t writePhotos(const std::filesystem::path &catalogue)
{
    sqlite3 *raw = nullptr;
    const int rc = sqlite3_open_v2(catalogue.string().c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> db(raw, sqlite3_close);
    if (rc != SQLITE_OK)
        throw CatalogueError("cannot open " + catalogue.string() + ": " + (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    sqlite3_stmt *rawStatement = nullptr;
    if (sqlite3_prepare_v2(db.get(),
                           "SELECT ArtCodigo, ArtFoto FROM Articulo WHERE ArtEmpresa = 1 AND ArtFoto <> '' "
                           "ORDER BY ArtID LIMIT ?",
                           -1, &rawStatement, nullptr) != SQLITE_OK)
        throw CatalogueError(std::string("cannot read the photographs: ") + sqlite3_errmsg(db.get()));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(rawStatement, sqlite3_finalize);
    sqlite3_bind_int(statement.get(), 1, static_cast<int>(kMaxPhotos));

    const QDir folder(QString::fromStdString((catalogue.parent_path() / "Img").string()));
    if (!folder.mkpath(QStringLiteral("TPV")))
        throw CatalogueError("cannot create " + folder.filePath(QStringLiteral("TPV")).toStdString());
    std::uint64_t written = 0;
    while (sqlite3_step(statement.get()) == SQLITE_ROW) {
        const auto text = [&](int column) {
            return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement.get(), column)));
        };
        const QString name = text(1);
        const QString path = folder.filePath((written % 5 == 4 ? QString() : QStringLiteral("TPV/")) + name);
        if (!photo(text(0)).save(path))
            throw CatalogueError("cannot write " + path.toStdString());
        ++written;
    }
    return written;
}

} // namespace vok::catalogue
