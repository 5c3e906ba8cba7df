// The detail view as real Qt widgets: shown modally, the picture at its own
// size, closed by Escape with a shift key.

#include "contado_row.h"

#include "detail/frm_foto.h"
#include "platform/ui/qt/qt_toolkit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

class FrmFotoQtTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::setToolkit(&toolkit);
        connection->row = vok::test::contado();
    }
    void TearDown() override { ui::setToolkit(nullptr); }

    // Shows the view; user acts once it is on the screen. A view still open a
    // few seconds later is closed, and the test fails.
    void show(const std::function<void(detail::frmFoto &)> &user)
    {
        foto = std::make_unique<detail::frmFoto>();
        foto->mrdoCBase = connection;
        foto->mlngArticulo = 7;
        bool closedByTest = false;
        QTimer::singleShot(0, [&] {
            QWidget *window = widget(foto->form());
            ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
            user(*foto);
        });
        QTimer::singleShot(5000, [&] {
            closedByTest = true;
            foto->form().unload();
        });
        foto->Show();
        EXPECT_FALSE(closedByTest) << "the view did not close";
    }

    template <typename Interface>
    static QWidget *widget(Interface &window)
    {
        return dynamic_cast<ui::QtWindow<Interface> &>(window).widget();
    }

    ui::QtToolkit toolkit;
    std::shared_ptr<vok::test::RowConnection> connection = std::make_shared<vok::test::RowConnection>();
    std::unique_ptr<detail::frmFoto> foto;
};

TEST_F(FrmFotoQtTest, ShowsThePictureAtItsOwnSizeAndEscapeCloses)
{
    QTemporaryDir folder;
    QImage picture(160, 120, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(QDir().mkpath(folder.filePath("Img/TPV")));
    ASSERT_TRUE(picture.save(folder.filePath("Img/TPV/a.png"), "PNG"));
    (*connection->row)["EmpPathImg"] = QString(folder.filePath("Img")).replace('/', '\\');
    (*connection->row)["ArtFoto"] = "a.png";

    show([&](detail::frmFoto &view) {
        QWidget *window = widget(view.form());
        EXPECT_NE(view.imgArticulo().pictureHandle(), 0);
        const int dpi = window->logicalDpiX();
        EXPECT_EQ(widget(view.imgArticulo())->size(), QSize(160, 120) * dpi / 96);
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window;
        QTest::keyClick(target, Qt::Key_Escape, Qt::ShiftModifier);
    });
    EXPECT_FALSE(widget(foto->form())->isVisible());
}

} // namespace
