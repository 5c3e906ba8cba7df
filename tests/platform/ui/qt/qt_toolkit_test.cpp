#include "platform/ui/qt/qt_check_box.h"
#include "platform/ui/qt/qt_item_list_dialog.h"
#include "platform/ui/qt/qt_scanner.h"
#include "platform/ui/qt/qt_text_box.h"
#include "platform/ui/qt/qt_toolkit.h"
#include "platform/ui/qt/qt_user_control.h"
#include "platform/vb/conversions.h"

#include "named_rows.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <tuple>

namespace {

using vok::test::PrintTo;

// A form of the host with the control on it and a field of the host's own
// after it in the tab order.
class QtToolkitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.resize(400, 120);
        surfaceWidget()->setParent(&form);
        surface->move(0, 0, 4000, 300);
        textBox->move(0, 0, 2240, 300);
        checkBox->move(2300, 40, 1700, 195);
        hostField->setGeometry(0, 60, 200, 24);
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    QWidget *surfaceWidget() { return static_cast<ui::QtUserControl &>(*surface).widget(); }
    QLineEdit *edit() { return static_cast<ui::QtTextBox &>(*textBox).lineEdit(); }
    QCheckBox *box() { return static_cast<ui::QtCheckBox &>(*checkBox).checkBox(); }

    void logFocusOf(ui::Window &window, const QString &name)
    {
        window.onGotFocus = [this, name] { log << "got " + name; };
        window.onLostFocus = [this, name] { log << "lost " + name; };
    }

    ui::QtToolkit toolkit;
    QWidget form;
    std::unique_ptr<ui::UserControl> surface = toolkit.createUserControl();
    std::unique_ptr<ui::TextBox> textBox = toolkit.createTextBox(*surface);
    std::unique_ptr<ui::CheckBox> checkBox = toolkit.createCheckBox(*surface);
    QLineEdit *hostField = new QLineEdit(&form);
    QStringList log;
};

TEST_F(QtToolkitTest, KeyHandlersCanReplaceOrSwallowKeys)
{
    textBox->onKeyPress = [](int16_t &ascii) {
        if (ascii == 'x')
            ascii = 0;
        else if (ascii >= 'a' && ascii <= 'z')
            ascii = static_cast<int16_t>(ascii - 32);
    };
    QTest::keyClicks(edit(), "axb");
    EXPECT_EQ(textBox->text(), "AB");

    // A key code cleared in key down leaves the edit's own action undone.
    textBox->onKeyDown = [](int16_t &code, int16_t &) { code = code == 46 ? 0 : code; };
    textBox->setSelStart(0);
    QTest::keyClick(edit(), Qt::Key_Delete);
    EXPECT_EQ(textBox->text(), "AB");
    QTest::keyClick(edit(), Qt::Key_Backspace, Qt::NoModifier);
    QTest::keyClick(edit(), Qt::Key_End);
    QTest::keyClick(edit(), Qt::Key_Backspace);
    EXPECT_EQ(textBox->text(), "A");
}

TEST_F(QtToolkitTest, MaxLengthLimitsTypingButNeverShortensTheText)
{
    int changes = 0;
    textBox->onChange = [&changes] { ++changes; };
    textBox->setText("TORNILLO");
    textBox->setMaxLength(3);
    QTest::keyClicks(edit(), "X");
    EXPECT_EQ(textBox->text(), "TORNILLO");

    textBox->setSelStart(0);
    textBox->setSelLength(8);
    QTest::keyClicks(edit(), "TUERCA");
    EXPECT_EQ(textBox->text(), "TUE");

    // An assigned text is not cut either.
    textBox->setText("ARANDELA");
    EXPECT_EQ(textBox->text(), "ARANDELA");
    EXPECT_EQ(changes, 1 + 3 + 1);
}

// A code scanned into a list is typed again once the list has closed; the
// window manager may give the form its focus back only later.
TEST_F(QtToolkitTest, KeysTypedAheadWaitForAFieldWithTheFocus)
{
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    ui::qt::typeAhead("100012");
    QTest::qWait(100);
    QApplication::setActiveWindow(&form);
    hostField->setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return hostField->text() == "100012"; })) << hostField->text().toStdString();
}

// Leaving the text box: how its validation answers, and where the user goes.
struct FocusCase {
    const char *name;
    enum Validate { Cancel, Pass, PutBack } validate;
    enum Move { Tab, ClickHost, ClickHostWithoutValidation, OtherWindow } move;
    QStringList log; // after "got text"
    const char *focused;
};

class Leaving : public QtToolkitTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(Leaving, ValidatesFirstAndMovesUnlessCancelled)
{
    const FocusCase &c = GetParam();
    logFocusOf(*textBox, "text");
    logFocusOf(*checkBox, "check");
    textBox->onValidate = [&](bool &cancel) {
        log << "validate";
        cancel = c.validate == FocusCase::Cancel;
        if (c.validate == FocusCase::PutBack) // as the lookup run on leaving does
            textBox->setFocus();
    };
    textBox->setFocus();
    QWidget other;
    if (c.move == FocusCase::Tab)
        QTest::keyClick(edit(), Qt::Key_Tab);
    if (c.move == FocusCase::ClickHostWithoutValidation)
        hostField->setProperty("causesValidation", false);
    if (c.move == FocusCase::ClickHost || c.move == FocusCase::ClickHostWithoutValidation)
        QTest::mouseClick(hostField, Qt::LeftButton);
    if (c.move == FocusCase::OtherWindow) {
        other.show();
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        EXPECT_TRUE(textBox->hasFocus());
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    EXPECT_EQ(log, QStringList{"got text"} + c.log);
    const QWidget *focus = QApplication::focusWidget();
    EXPECT_EQ(focus == edit() ? "text" : focus == box() ? "check" : focus == hostField ? "host" : "none",
              std::string(c.focused));
}

INSTANTIATE_TEST_SUITE_P(
    Focus, Leaving,
    ::testing::Values(
        FocusCase{"ACancelKeepsTheFocus", FocusCase::Cancel, FocusCase::Tab, {"validate"}, "text"},
        FocusCase{"TabMovesOn", FocusCase::Pass, FocusCase::Tab, {"validate", "lost text", "got check"}, "check"},
        FocusCase{"AFieldThatCausesNoValidation", FocusCase::Cancel, FocusCase::ClickHostWithoutValidation,
                  {"lost text"}, "host"},
        FocusCase{"AHandlerPuttingTheFocusBackDoesNotStopTheMove", FocusCase::PutBack, FocusCase::Tab,
                  {"validate", "lost text", "got check"}, "check"},
        FocusCase{"AnotherWindowActiveNeitherValidatesNorTakesIt", FocusCase::Pass, FocusCase::OtherWindow, {}, "text"}),
    vok::test::byName);

// The user ticks a greyed box, then unticks it: never greyed by hand; a
// swallowed space bar leaves the box as it was.
TEST_F(QtToolkitTest, CheckBoxClicksAndTheSpaceBar)
{
    int clicks = 0;
    checkBox->onClick = [&clicks] { ++clicks; };
    checkBox->setValue(2);
    EXPECT_EQ(box()->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(8, box()->height() / 2));
    EXPECT_EQ(checkBox->value(), 1);
    QTest::mouseClick(box(), Qt::LeftButton, {}, QPoint(8, box()->height() / 2));
    EXPECT_EQ(checkBox->value(), 0);
    checkBox->setFocus();
    checkBox->onKeyPress = [](int16_t &ascii) { ascii = 0; };
    QTest::keyClick(box(), Qt::Key_Space);
    EXPECT_EQ(checkBox->value(), 0);
    EXPECT_EQ(clicks, 3);
}

// Numbered rows that count how many were read.
class CountingRows final : public ui::RowSource {
public:
    explicit CountingRows(int total) : m_total(total) {}
    bool atEnd() const override { return m_taken >= m_total; }
    ui::ItemRow takeRow() override
    {
        ++m_taken;
        return {vb::Variant(int32_t{m_taken}), vb::Variant(QStringLiteral("ROW %1").arg(m_taken)),
                vb::Variant(1234.5 * m_taken)};
    }
    int taken() const { return m_taken; }

private:
    int m_total;
    int m_taken = 0;
};

class QtItemListTest : public ::testing::Test {
protected:
    // Shows the list and acts on it as the user once it is open.
    ui::ItemChoice show(ui::RowSource &rows, const std::function<void(ui::ItemListDialog &)> &user)
    {
        QTimer::singleShot(0, [&] {
            auto *dialog = dynamic_cast<ui::ItemListDialog *>(toolkit.openItemList());
            if (!dialog)
                return;
            seenModal = QApplication::activeModalWidget() == dialog || dialog->isModal();
            user(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return toolkit.showItemList(layout, rows);
    }

    ui::QtToolkit toolkit;
    ui::ItemListLayout layout{"Artículos", {"Código", "", "Precio"}, {{0, 1500}, {2, 1200}}, {{2, "#,##0.00"}}, 6000};
    bool seenModal = false;
};

TEST_F(QtItemListTest, LayoutGivesTitleHeadingsAndFormats)
{
    CountingRows rows(3);
    show(rows, [&](ui::ItemListDialog &dialog) {
        QTableView *view = dialog.view();
        EXPECT_EQ(dialog.windowTitle(), "Artículos");
        EXPECT_TRUE(view->isColumnHidden(1) && !view->isColumnHidden(2) && !view->horizontalHeader()->isHidden());
        EXPECT_EQ(view->model()->headerData(2, Qt::Horizontal).toString(), "Precio");
        EXPECT_EQ(view->model()->index(0, 2).data().toString(), "1,234.50");
        EXPECT_EQ(view->currentIndex().row(), 0);
    });
}

TEST_F(QtItemListTest, ADoubleClickChooses)
{
    CountingRows again(5);
    const ui::ItemChoice clicked = show(again, [&](ui::ItemListDialog &dialog) {
        QTableView *view = dialog.view();
        // A double click as the window system delivers it.
        const QPointF at = view->visualRect(view->model()->index(3, 0)).center();
        const QPointF global = view->viewport()->mapToGlobal(at);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                                  QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
            QCoreApplication::sendEvent(view->viewport(), &event);
        }
    });
    ASSERT_TRUE(clicked);
    EXPECT_EQ(vb::CLng(clicked->at(0)), 4);
}

// Keys a list of 250 rows (read a hundred at a time) gets, each at a time in
// milliseconds, and the row then chosen (0 = none) or the code scanned. The
// list opens modal, having read no more than its first pages.
struct ListKey {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    QString text;
    unsigned long at = 0;
};

struct ListKeysCase {
    const char *name;
    std::vector<ListKey> keys;
    int chosen;
    QString scanned;
};

// A scanner's code: characters stepMs apart from at, then Enter.
std::vector<ListKey> typed(const QString &text, unsigned long at, unsigned long stepMs, bool enter = true)
{
    std::vector<ListKey> keys;
    for (const QChar c : text) {
        keys.push_back({c.unicode(), Qt::NoModifier, QString(c), at});
        at += stepMs;
    }
    if (enter)
        keys.push_back({Qt::Key_Return, Qt::NoModifier, "\r", at});
    return keys;
}

std::vector<ListKey> operator+(std::vector<ListKey> keys, const std::vector<ListKey> &more)
{
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
}

ListKey press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return {key, modifiers, QString(), 0};
}

const std::vector<ListKey> enter{{Qt::Key_Return, Qt::NoModifier, "\r", 5000}};

class QtItemListKeys : public QtItemListTest, public ::testing::WithParamInterface<ListKeysCase> {};

TEST_P(QtItemListKeys, ReachTheTrueEndsAndTellAScanFromTyping)
{
    const ListKeysCase &c = GetParam();
    CountingRows rows(250);
    QString scanned;
    QString count;
    int readAtOpen = 0;
    const ui::ItemChoice choice = show(rows, [&](ui::ItemListDialog &dialog) {
        readAtOpen = rows.taken();
        for (const ListKey &key : c.keys) {
            QKeyEvent press(QEvent::KeyPress, key.key, key.modifiers, key.text);
            press.setTimestamp(key.at);
            QCoreApplication::sendEvent(dialog.view(), &press);
            if (!dialog.isVisible())
                break;
            count = dialog.rowCountText();
        }
        scanned = dialog.scannedCode();
    });
    EXPECT_TRUE(seenModal);
    EXPECT_GE(readAtOpen, 20);
    EXPECT_LE(readAtOpen, 2 * ui::ItemListModel::PageSize);
    EXPECT_EQ(choice ? vb::CLng(choice->at(0)) : 0, c.chosen);
    EXPECT_EQ(scanned, c.scanned);
    if (c.chosen == 250) {
        EXPECT_EQ(count, "250 / 250") << "every row read, the count is whole";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, QtItemListKeys,
    ::testing::Values(
        ListKeysCase{"EscapeChoosesNothing", {press(Qt::Key_Escape)}, 0, ""},
        ListKeysCase{"MovesThenEnter",
                     std::vector<ListKey>{press(Qt::Key_Down), press(Qt::Key_Down), press(Qt::Key_Up)} + enter, 2, ""},
        ListKeysCase{"EndReadsOnToTheLastRow", std::vector<ListKey>{press(Qt::Key_End)} + enter, 250, ""},
        ListKeysCase{"AScanChoosesNothing", typed("7790001234567", 100, 3), 0, "7790001234567"},
        ListKeysCase{"AScanAfterMovingChoosesNothing",
                     std::vector<ListKey>{press(Qt::Key_Down)} + typed("100012", 100, 8), 0, "100012"},
        ListKeysCase{"APersonsKeySearchesTheList", typed("2", 0, 0, false) + enter, 2, ""},
        ListKeysCase{"ShortBurstIsTyping", typed("12", 0, 2), 12, ""},
        ListKeysCase{"SlowKeysAreTyping", typed("100012", 0, 60), 100, ""}),
    vok::test::byName);

TEST(QtMessageBox, AnswersByTheButtonsOfItsStyle)
{
    ui::QtToolkit toolkit;
    const auto answer = [&](int16_t style, QMessageBox::StandardButton press) {
        QString shownTitle;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shownTitle = box->windowTitle();
            icon = box->icon();
            if (press == QMessageBox::Escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press)->click();
        });
        const int16_t result = toolkit.messageBox("Prompt\r\nline two", style, "vokBArticulo");
        return std::tuple(result, icon, shownTitle);
    };
    const QString title = "vokBArticulo";
    EXPECT_EQ(answer(0 + 64, QMessageBox::Ok), std::tuple(int16_t{1}, QMessageBox::Information, title));
    EXPECT_EQ(answer(4 + 32, QMessageBox::No), std::tuple(int16_t{7}, QMessageBox::Question, title));
    EXPECT_EQ(answer(1 + 16, QMessageBox::Escape), std::tuple(int16_t{2}, QMessageBox::Critical, title));
}

TEST(QtWindowOwner, OwnersByHandleWithTransientParents)
{
    ui::QtToolkit toolkit;
    QWidget hostForm;
    const int32_t formHandle = toolkit.registerWidget(&hostForm);
    auto surface = toolkit.createUserControl();
    EXPECT_TRUE(surface->hWnd() != 0 && surface->hWnd() != formHandle);

    EXPECT_EQ(toolkit.setWindowOwner(surface->hWnd(), formHandle), 0);
    QWidget *top = static_cast<ui::QtUserControl &>(*surface).widget();
    ASSERT_TRUE(top->windowHandle());
    EXPECT_EQ(top->windowHandle()->transientParent(), hostForm.windowHandle());
    EXPECT_EQ(toolkit.setWindowOwner(surface->hWnd(), 0), formHandle);
    EXPECT_EQ(top->windowHandle()->transientParent(), nullptr);
}

TEST(QtScreen, TheHourglassIsTheOverrideCursor)
{
    ui::QtToolkit toolkit;
    toolkit.screen().setMousePointer(11);
    toolkit.screen().setMousePointer(11);
    ASSERT_TRUE(QGuiApplication::overrideCursor());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    toolkit.screen().setMousePointer(0);
    EXPECT_FALSE(QGuiApplication::overrideCursor());
    EXPECT_EQ(toolkit.screen().mousePointer(), 0);
}

} // namespace
