// What both toolkits promise the control and its dialogs, played on each: the
// headless one that vokhost and the tests run on and the Qt one of the tills.
// A row that fails names the toolkit that broke the promise.

#include "platform/ui/headless/headless_toolkit.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/vb/error.h"

#include "error_number.h"
#include "named_rows.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

namespace {

using vok::test::PrintTo;

using vok::test::errorNumberOf;

struct Kit {
    const char *name;
    std::function<std::unique_ptr<ui::Toolkit>()> make;
};

class ToolkitContract : public ::testing::TestWithParam<Kit> {
protected:
    std::unique_ptr<ui::Toolkit> toolkit = GetParam().make();
    std::unique_ptr<ui::Form> form = toolkit->createForm();
};

TEST_P(ToolkitContract, ListEntriesCarryCodesAndSelectionChangesOnlyOnARealChange)
{
    auto combo = toolkit->createComboBox(*form);
    QStringList log;
    combo->onSelectionChange = [&] { log << QString::number(combo->listIndex()); };
    // Adding entries selects none, as on the platform.
    combo->addItem("Sí", 1);
    combo->addItem("No", 2);
    combo->addItem("Indistinto", 3);
    EXPECT_EQ(combo->listIndex(), -1);
    EXPECT_EQ(combo->listCount(), 3);
    combo->setListIndex(combo->findItemData(2));
    combo->setListIndex(1);
    combo->setListIndex(-1);
    EXPECT_EQ(log, QStringList({"1", "-1"}));
    EXPECT_EQ(combo->itemData(2), 3);
    EXPECT_EQ(combo->findItemData(9), -1);
    EXPECT_EQ(errorNumberOf([&] { combo->setListIndex(3); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { combo->setListIndex(-2); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { (void)combo->itemData(-1); }), vb::err::InvalidPropertyArrayIndex);
    EXPECT_EQ(combo->listIndex(), -1);
}

TEST_P(ToolkitContract, BadSizesAndValuesAreRefusedWithError380AndChangeNothing)
{
    form->move(10, 20, 9460, 7600);
    auto surface = toolkit->createUserControl();
    auto text = toolkit->createTextBox(*surface);
    auto check = toolkit->createCheckBox(*surface);
    text->setWidth(500);
    check->setValue(2);
    EXPECT_EQ(errorNumberOf([&] { text->setWidth(-60); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { check->setHeight(-1); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { form->setWidth(-1); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { text->setMaxLength(-1); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(errorNumberOf([&] { check->setValue(3); }), vb::err::InvalidPropertyValue);
    EXPECT_EQ(text->width(), 500);
    EXPECT_EQ(form->width(), 9460);
    EXPECT_EQ(check->value(), 2);
}

// Neither the user nor the program can put the focus on a window that is
// hidden or disabled.
TEST_P(ToolkitContract, FocusOnAHiddenOrDisabledWindowIsError5)
{
    auto surface = toolkit->createUserControl();
    auto text = toolkit->createTextBox(*surface);
    auto check = toolkit->createCheckBox(*surface);
    check->setVisible(false);
    text->setEnabled(false);
    EXPECT_EQ(errorNumberOf([&] { check->setFocus(); }), vb::err::InvalidProcedureCall);
    EXPECT_EQ(errorNumberOf([&] { text->setFocus(); }), vb::err::InvalidProcedureCall);
}

// A picture takes its natural size from its pixels and the resolution it
// stores (96 dpi when it stores none); a file that is missing or is no
// picture leaves the image as it was.
TEST_P(ToolkitContract, PicturesTakeTheirNaturalSizeInTwips)
{
    auto image = toolkit->createImage(*form);
    QTemporaryDir folder;
    const struct {
        const char *file;
        const char *format;
        QSize pixels;
        int dotsPerMetre;
        ui::Twips width, height;
    } pictures[] = {
        {"foto.png", "PNG", {40, 30}, 3780, 600, 450},
        {"foto.jpg", "JPEG", {30, 20}, 2835, 600, 400},
        {"123.jpg", "PNG", {200, 150}, 3780 * 2, 1500, 1125}, // named like a photo, but a PNG
        {"sin-resolucion.bmp", "BMP", {10, 8}, 0, 150, 120},
    };
    int32_t previous = 0;
    for (const auto &p : pictures) {
        SCOPED_TRACE(p.file);
        QImage pixels(p.pixels, QImage::Format_RGB32);
        pixels.fill(Qt::darkCyan);
        if (p.dotsPerMetre) {
            pixels.setDotsPerMeterX(p.dotsPerMetre);
            pixels.setDotsPerMeterY(p.dotsPerMetre);
        }
        ASSERT_TRUE(pixels.save(folder.filePath(p.file), p.format));
        image->loadPicture(folder.filePath(p.file));
        EXPECT_NEAR(image->width(), p.width, 1);
        EXPECT_NEAR(image->height(), p.height, 1);
        EXPECT_NE(image->pictureHandle(), 0);
        EXPECT_NE(image->pictureHandle(), previous);
        previous = image->pictureHandle();
    }

    QFile notAPicture(folder.filePath("texto.png"));
    ASSERT_TRUE(notAPicture.open(QIODevice::WriteOnly));
    notAPicture.write("not a picture at all");
    notAPicture.close();
    EXPECT_EQ(errorNumberOf([&] { image->loadPicture(folder.filePath("falta.jpg")); }), vb::err::FileNotFound);
    EXPECT_EQ(errorNumberOf([&] { image->loadPicture(notAPicture.fileName()); }), vb::err::InvalidPicture);
    EXPECT_EQ(image->pictureHandle(), previous);
    EXPECT_EQ(image->width(), 150);
    image->loadPicture("");
    EXPECT_EQ(image->pictureHandle(), 0);
}

INSTANTIATE_TEST_SUITE_P(Toolkits, ToolkitContract,
                         ::testing::Values(Kit{"Headless", [] { return std::make_unique<ui::HeadlessToolkit>(); }},
                                           Kit{"Qt", [] { return std::make_unique<ui::QtToolkit>(); }}),
                         vok::test::byName);

} // namespace
