#include "platform/ui/qt/qt_button.h"
#include "platform/ui/qt/qt_combo_box.h"
#include "platform/ui/qt/qt_form.h"
#include "platform/ui/qt/qt_label.h"
#include "platform/ui/qt/qt_text_box.h"
#include "platform/ui/qt/qt_toolkit.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {


// The widget behind a window of the form.
template <typename Interface>
QWidget *widgetOf(Interface &window)
{
    return dynamic_cast<ui::QtWindow<Interface> &>(window).widget();
}

// A small search form: two labelled fields, a list created after the button
// strip, and buttons filed into the strip after that list was created.
class QtFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form->move(600, 450, 4290, 3300);
        form->setKeyPreview(true);
        lblCampo->move(60, 180, 1575, 315);
        lblCampo->setCaption("Buscar en &Campo:");
        cmbCampo->move(1500, 120, 2715, 315);
        cmbCampo->addItem("Nombre", 0);
        cmbCampo->addItem("Código", 1);
        cmbCampo->addItem("Marca", 7);
        lblTexto->move(60, 900, 1575, 315);
        lblTexto->setCaption("Texto a &Buscar:");
        txtTexto->move(1500, 840, 2715, 315);
        picButtons->move(0, 2565, 4290, 415);
        picButtons->setBackColor(14604246);
        cmbLater->move(1500, 1320, 1275, 315);
        btnOk->move(1950, 50, 1095, 315);
        btnOk->setCaption("&Aceptar");
        btnCancelar->move(3150, 50, 1095, 315);
        btnCancelar->setCaption("Cancelar");
    }

    void show()
    {
        formWidget()->show();
        formWidget()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(formWidget()));
    }
    QWidget *formWidget() { return widgetOf(*form); }
    static QWidget *focusWidget() { return QApplication::focusWidget(); }

    ui::QtToolkit toolkit;
    std::unique_ptr<ui::Form> form = toolkit.createForm();
    std::unique_ptr<ui::Label> lblCampo = toolkit.createLabel(*form);
    std::unique_ptr<ui::ComboBox> cmbCampo = toolkit.createComboBox(*form);
    std::unique_ptr<ui::Label> lblTexto = toolkit.createLabel(*form);
    std::unique_ptr<ui::TextBox> txtTexto = toolkit.createTextBox(*form);
    std::unique_ptr<ui::PictureBox> picButtons = toolkit.createPictureBox(*form);
    std::unique_ptr<ui::ComboBox> cmbLater = toolkit.createComboBox(*form);
    std::unique_ptr<ui::Button> btnOk = toolkit.createButton(*picButtons);
    std::unique_ptr<ui::Button> btnCancelar = toolkit.createButton(*picButtons);
    QStringList log;
};

TEST_F(QtFormTest, TabOrderIsCreationOrderWithinEachContainerAndSendTabFollowsIt)
{
    show();
    QWidgetList order;
    for (QWidget *w = formWidget()->nextInFocusChain(); w != formWidget(); w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
    EXPECT_EQ(order, QWidgetList({widgetOf(*cmbCampo), widgetOf(*txtTexto), widgetOf(*btnOk), widgetOf(*btnCancelar),
                                  widgetOf(*cmbLater)}));

    txtTexto->onGotFocus = [this] { log << "got texto"; };
    cmbCampo->onLostFocus = [this] { log << "lost campo"; };
    cmbCampo->setFocus();
    toolkit.sendTab();
    toolkit.sendTab();
    EXPECT_TRUE(btnOk->hasFocus());
    EXPECT_EQ(log, QStringList({"lost campo", "got texto"}));
}

TEST_F(QtFormTest, AccessKeyOfALabelFocusesTheNextControlThatCanTakeIt)
{
    show();
    btnOk->setFocus();
    QTest::keyClick(focusWidget(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(txtTexto->hasFocus());
    QTest::keyClick(focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(cmbCampo->hasFocus());

    int clicks = 0;
    btnOk->onClick = [&clicks] { ++clicks; };
    QTest::keyClick(focusWidget(), Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(clicks, 1);
}

TEST_F(QtFormTest, AListMovesOnTheKeysItsHandlersLetThrough)
{
    show();
    cmbCampo->setListIndex(0);
    cmbCampo->setFocus();
    cmbCampo->onKeyDown = [](int16_t &code, int16_t &) { code = code == 38 ? 0 : code; };
    cmbCampo->onSelectionChange = [this] { log << QString::number(cmbCampo->listIndex()); };
    QTest::keyClick(widgetOf(*cmbCampo), Qt::Key_Down);
    QTest::keyClick(widgetOf(*cmbCampo), Qt::Key_Up);
    EXPECT_EQ(log, QStringList({"1"}));
}

struct Closing {
    const char *name;
    std::function<void()> act;
    QStringList expected;
};

TEST_F(QtFormTest, ShowModalLoadsFirstAndReturnsOnceUnloadedGivingTheFocusBack)
{
    QWidget host;
    auto *hostField = new QLineEdit(&host);
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    hostField->setFocus();

    form->onLoad = [this] {
        log << (formWidget()->isVisible() ? "load shown" : "load");
        form->setWidth(5000);
    };
    form->onResize = [this] { log << QStringLiteral("resize %1").arg(form->width()); };
    form->onUnload = [this] { log << "unload"; };
    form->onKeyDown = [this](int16_t &code, int16_t &) {
        log << QStringLiteral("form down %1").arg(code);
        if (code == 27)
            form->unload();
    };
    txtTexto->onKeyDown = [this](int16_t &code, int16_t &) { log << QStringLiteral("texto down %1").arg(code); };
    btnCancelar->onClick = [this] { form->unload(); };

    const std::vector<Closing> closings = {
        {"escape in the text box seen by the form first",
         [this] {
             txtTexto->setFocus();
             QTest::keyClick(widgetOf(*txtTexto), Qt::Key_X);
             QTest::keyClick(widgetOf(*txtTexto), Qt::Key_Escape, Qt::ShiftModifier);
         },
         {"form down 88", "texto down 88", "form down 16", "texto down 16", "form down 27", "unload"}},
        {"the close box", [this] { formWidget()->close(); }, {"unload"}},
    };
    for (const Closing &closing : closings) {
        SCOPED_TRACE(closing.name);
        form->setWidth(4290);
        log.clear();
        bool ran = false;
        QTimer::singleShot(0, formWidget(), [&] {
            ran = QTest::qWaitForWindowActive(formWidget());
            closing.act();
        });
        form->showModal();
        EXPECT_TRUE(ran);
        EXPECT_EQ(log, QStringList({"load", "resize 5000"}) + closing.expected);
        EXPECT_FALSE(formWidget()->isVisible());
        QTRY_VERIFY(host.isActiveWindow());
        EXPECT_EQ(QApplication::focusWidget(), hostField);
    }
}

} // namespace
