// One entry at the keyboard told once and played by two users, on the
// headless toolkit and on the real widget: both must hear the same events and
// see the same windows.

#include "catalogue_fixture.h"
#include "named_rows.h"
#include "faulty_connection.h"
#include "widget/suggestions.h"
#include "widget/vok_articulo_widget.h"

#include "platform/ui/delegating_toolkit.h"
#include "platform/ui/qt/qt_check_box.h"
#include "platform/ui/qt/qt_item_list_dialog.h"
#include "platform/ui/qt/qt_text_box.h"
#include "platform/ui/qt/qt_user_control.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <optional>

namespace {

// Pixels at the screen's usual 96 dpi, where a pixel is 15 twips.
constexpr int Dpi = 96;

class User {
public:
    virtual ~User() = default;
    virtual void type(const QString &keys) = 0; // into the window with the focus; "\r" is Enter
    virtual void tab() = 0;
    virtual void backTab() = 0;
    virtual void willChoose(std::optional<int> row) = 0; // the next list's answer (none: closed)
    // Which window has the focus, and where a window is, in pixels within the control.
    virtual QString focus() const = 0;
    virtual QRect placed(ui::Window &window) const = 0;
};

QString rectText(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The scenario: an article with varieties is typed and taken from the list,
// its varieties ticked, and the control left with Tab; then the user comes
// back with Shift+Tab, types a text that finds nothing, and leaves again.
void typicalEntry(User &user, vokTArticulo &control, const QString &code, QStringList &heard)
{
    const auto look = [&](const char *moment) {
        ui::CheckBox &check = control.chkVariedad();
        QString seen = QStringLiteral("%1: focus %2, text \"%3\", ID %4, text box %5")
                           .arg(QString::fromLatin1(moment), user.focus(), control.Text())
                           .arg(control.ID())
                           .arg(rectText(user.placed(control.tArticulo())));
        if (check.isVisible())
            seen += QStringLiteral(", check box \"%1\" %2 %3")
                        .arg(check.caption())
                        .arg(check.value())
                        .arg(rectText(user.placed(check)));
        heard << seen;
    };

    control.tArticulo().setFocus();
    look("start");
    user.willChoose(0);
    user.type(code + "\r");
    look("chosen");
    user.type(" \r");
    user.tab();
    look("left");
    user.backTab();
    user.backTab();
    user.type("ZZZQQQ\r");
    look("nothing found");
    user.tab();
    look("left again");
}

class HeadlessUser final : public User {
public:
    HeadlessUser(ui::HeadlessToolkit &toolkit, vokTArticulo &control, ui::Window &hostField)
        : m_toolkit(toolkit), m_tabOrder{&control.tArticulo(), &control.chkVariedad(), &hostField}
    {
    }

    void type(const QString &keys) override
    {
        for (QChar c : keys) {
            if (auto *text = dynamic_cast<ui::HeadlessTextBox *>(m_toolkit.focused())) {
                text->type(c);
            } else if (auto *check = dynamic_cast<ui::HeadlessCheckBox *>(m_toolkit.focused())) {
                if (c == u' ') {
                    check->toggle();
                } else if (check->onKeyPress) {
                    int16_t ascii = static_cast<int16_t>(c.unicode());
                    check->onKeyPress(ascii);
                }
            }
        }
    }
    void tab() override { moveInTabOrder(1); }
    void backTab() override { moveInTabOrder(-1); }
    void willChoose(std::optional<int> row) override { m_toolkit.queueItemListAnswer(row); }

    QString focus() const override
    {
        const auto at = std::find(m_tabOrder.begin(), m_tabOrder.end(), m_toolkit.focused()) - m_tabOrder.begin();
        return QStringList({"tArticulo", "chkVariedad", "host field", "none"}).at(at);
    }
    QRect placed(ui::Window &window) const override
    {
        const auto px = [](ui::Twips twips) { return ui::qt::toPixels(twips, Dpi); };
        return {px(window.left()), px(window.top()), px(window.width()), px(window.height())};
    }

private:
    void moveInTabOrder(int step)
    {
        const auto count = static_cast<int>(m_tabOrder.size());
        int at = 0;
        while (at < count && m_tabOrder[static_cast<size_t>(at)] != m_toolkit.focused())
            ++at;
        for (int i = 1; i < count; ++i) {
            ui::Window *next = m_tabOrder[static_cast<size_t>((at + step * i + count) % count)];
            if (next->isVisible() && next->isEnabled()) {
                m_toolkit.moveFocus(next);
                return;
            }
        }
    }

    ui::HeadlessToolkit &m_toolkit;
    std::vector<ui::Window *> m_tabOrder;
};

class WidgetUser final : public User {
public:
    WidgetUser(ui::QtToolkit &toolkit, vokArticuloWidget &widget, QWidget &hostField)
        : m_toolkit(toolkit), m_widget(widget), m_hostField(hostField)
    {
        m_answer.setInterval(5);
        QObject::connect(&m_answer, &QTimer::timeout, [this] { answerOpenList(); });
    }

    void type(const QString &keys) override
    {
        for (QChar c : keys) {
            QWidget *target = QApplication::focusWidget();
            if (!target)
                return;
            if (c == u'\r')
                QTest::keyClick(target, Qt::Key_Return);
            else if (c == u' ')
                QTest::keyClick(target, Qt::Key_Space, Qt::NoModifier, -1);
            else
                QTest::keyClicks(target, QString(c));
            settle();
        }
    }
    void tab() override
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        settle();
    }
    void backTab() override
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        settle();
    }
    void willChoose(std::optional<int> row) override
    {
        m_row = row;
        m_answer.start();
    }

    QString focus() const override
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus == edit() ? "tArticulo" : focus == box() ? "chkVariedad" : focus == &m_hostField ? "host field" : "none";
    }
    QRect placed(ui::Window &window) const override
    {
        if (&window == &m_widget.control().tArticulo())
            return edit()->geometry();
        return box()->geometry();
    }

private:
    QLineEdit *edit() const { return static_cast<ui::QtTextBox &>(m_widget.control().tArticulo()).lineEdit(); }
    QCheckBox *box() const { return static_cast<ui::QtCheckBox &>(m_widget.control().chkVariedad()).checkBox(); }

    void answerOpenList() // from inside its own modal loop, once it shows
    {
        auto *list = dynamic_cast<ui::ItemListDialog *>(m_toolkit.openItemList());
        if (!list || !list->isVisible())
            return;
        m_answer.stop();
        if (!m_row) {
            QTest::keyClick(list->view(), Qt::Key_Escape);
            return;
        }
        for (int i = 0; i < *m_row; ++i)
            QTest::keyClick(list->view(), Qt::Key_Down);
        QTest::keyClick(list->view(), Qt::Key_Return);
    }
    // The form active again, as the window manager makes it when a modal list closes.
    void settle()
    {
        QCoreApplication::processEvents();
        if (!m_widget.window()->isActiveWindow()) {
            m_widget.window()->activateWindow();
            (void)QTest::qWaitForWindowActive(m_widget.window());
        }
    }

    ui::QtToolkit &m_toolkit;
    vokArticuloWidget &m_widget;
    QWidget &m_hostField;
    QTimer m_answer;
    std::optional<int> m_row;
};

class EntryScenarioTest : public CatalogueFixture {
public:
    // Typing it lists the article and its varieties only, or (Not) finds the
    // article alone.
    static QString codeWithVarieties(const std::string &exists = "Exists")
    {
        return firstText("Select ArtCodigo From Articulo a Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null "
                         "And ArtNoUtilizarGenerico = 0 And " + exists + " (Select 1 From ArticuloVariedad Where "
                         "AVaArticulo = a.ArtID) And (Select Count(*) From Articulo b Where b.ArtCodigo Like "
                         "a.ArtCodigo || '%') = 1 Order By ArtID");
    }
    static QString plainCode() { return codeWithVarieties("Not Exists"); }
    static int plainId() { return int(firstId("Select ArtID From Articulo Where ArtCodigo = '" + plainCode().toStdString() + "'")); }

protected:

    // The widget 267 x 20 pixels before a host field, on a form shown.
    static vokArticuloWidget *placeOnForm(QWidget &form, QLineEdit *&hostField)
    {
        form.resize(400, 80);
        auto *articulo = new vokArticuloWidget(&form);
        hostField = new QLineEdit(&form);
        articulo->setGeometry(10, 10, 267, 20);
        hostField->setGeometry(10, 40, 120, 20);
        form.show();
        form.activateWindow();
        return articulo;
    }

    void configure(vokTArticulo &c)
    {
        c.setEmpresa(1);
        c.setFormatDisplay(afd_CodigoNombre);
    }
};

TEST_F(EntryScenarioTest, TheSameEntryGivesTheSameEventsAndWindowsOnBothToolkits)
{
    const QString code = codeWithVarieties();
    ASSERT_FALSE(code.isEmpty());

    // A control 267 x 20 pixels, before a host field; the harness's log
    // writes the events as the widget's host writes them below.
    QStringList &headless = log->events;
    {
        static_cast<ui::HeadlessUserControl &>(control->userControl()).resize(267 * 15, 20 * 15);
        configure(*control);
        auto hostField = toolkit().createTextBox(control->userControl());
        HeadlessUser user(toolkit(), *control, *hostField);
        headless.clear();
        typicalEntry(user, *control, code, headless);
    }

    QStringList widget;
    {
        ui::QtToolkit qtToolkit;
        ui::setToolkit(&qtToolkit);
        QWidget form;
        QLineEdit *hostField = nullptr;
        auto *articulo = placeOnForm(form, hostField);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        ASSERT_EQ(articulo->logicalDpiX(), Dpi);
        // Suggestions switched on and off again leave nothing of theirs behind.
        articulo->setSugerencias(true);
        articulo->setSugerencias(false);

        vokTArticulo &c = articulo->control();
        c.setConnect(rdo::rdoConnection::open("sqlite:" + QString::fromStdString(catalogue().string())));
        configure(c);
        QObject::connect(articulo, &vokArticuloWidget::Change, [&] { widget << QStringLiteral("Change ID=%1").arg(c.ID()); });
        QObject::connect(articulo, &vokArticuloWidget::KeyDown, [&](qint16 *code, qint16 *shift) {
            widget << QStringLiteral("KeyDown %1 %2").arg(*code).arg(*shift);
        });
        QObject::connect(articulo, &vokArticuloWidget::KeyPress,
                         [&](qint16 *ascii) { widget << QStringLiteral("KeyPress %1").arg(*ascii); });
        QObject::connect(articulo, &vokArticuloWidget::Error, [&](const QString &text) { widget << "Error " + text; });
        QObject::connect(articulo, &vokArticuloWidget::GotFocus2, [&] { widget << QStringLiteral("GotFocus2"); });
        WidgetUser user(qtToolkit, *articulo, *hostField);
        typicalEntry(user, c, code, widget);
        delete articulo;
        ui::setToolkit(nullptr);
    }

    EXPECT_EQ(widget, headless) << "headless:\n  " << headless.join("\n  ").toStdString() << "\nwidget:\n  "
                                << widget.join("\n  ").toStdString();

    const QString heard = headless.join('\n');
    EXPECT_TRUE(heard.contains(QStringLiteral("chosen: focus chkVariedad, text \"%1 ").arg(code))) << heard.toStdString();
    EXPECT_TRUE(heard.contains("GotFocus2\nnothing found: focus tArticulo, text \"ZZZQQQ\", ID 0, text box 0,0 267x20"))
        << heard.toStdString();
}


// articleChanged on each route by which the held article changes, heard in
// one transcript with the control's own events, which stay what they were.
class WidgetOnFormTest : public EntryScenarioTest {
public:
    void SetUp() override
    {
        EntryScenarioTest::SetUp();
        ui::setToolkit(&qtToolkit);
        QLineEdit *hostField = nullptr;
        widget = placeOnForm(*form, hostField);
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        widget->control().setConnect(rdo::rdoConnection::open("sqlite:" + QString::fromStdString(catalogue().string())));
        widget->setEmpresa(1);
        user = std::make_unique<WidgetUser>(qtToolkit, *widget, *hostField);
        QObject::connect(widget, &vokArticuloWidget::Change, [this] { heard << QStringLiteral("Change ID=%1").arg(widget->ID()); });
        QObject::connect(widget, &vokArticuloWidget::KeyPress, [this](qint16 *key) { heard << QStringLiteral("KeyPress %1").arg(*key); });
        QObject::connect(widget, &vokArticuloWidget::GotFocus2, [this] { heard << QStringLiteral("GotFocus2"); });
        QObject::connect(widget, &vokArticuloWidget::articleChanged,
                         [this](int id, int variedad) { heard << QStringLiteral("articleChanged %1,%2").arg(id).arg(variedad); });
        QObject::connect(widget, &vokArticuloWidget::IncluirVariedadesChanged,
                         [this](bool incluir) { heard << QStringLiteral("IncluirVariedadesChanged %1").arg(incluir); });
    }
    void TearDown() override
    {
        user.reset(), form.reset(), ui::setToolkit(nullptr); // the widget goes before its toolkit
        EntryScenarioTest::TearDown();
    }

    ui::QtToolkit qtToolkit;
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    vokArticuloWidget *widget = nullptr;
    std::unique_ptr<WidgetUser> user;
    QStringList heard;
};

struct Route;
class ArticleChangedTest : public WidgetOnFormTest, public ::testing::WithParamInterface<Route> {};

struct Route {
    const char *name;
    QString typedFirst; // typed before the act, not heard: "plain", "varieties", "chosen" (plain and Enter) or text
    std::function<void(ArticleChangedTest &)> act;
    QStringList expected; // "A" the article held after the act, "H" the one held before it
};
using vok::test::PrintTo;

const auto enter = [](ArticleChangedTest &t) { t.user->type("\r"); };
const auto A = QStringLiteral("articleChanged A,0"), Cleared = QStringLiteral("articleChanged 0,0");

const Route Routes[] = {
    {"Enter", "plain", enter, {"Change ID=0", A, "KeyPress 13"}},
    {"Tab", "plain", [](auto &t) { t.user->tab(); }, {"Change ID=0", A}},
    {"ListChoice", "TORNILLO ZINC", [](auto &t) { t.user->willChoose(1), enter(t); }, {"Change ID=0", A, "KeyPress 13"}},
    {"CheckBox", "varieties", [](auto &t) { t.user->willChoose(0), t.user->type("\r "); },
     {"Change ID=0", A, "KeyPress 32", "IncluirVariedadesChanged 1"}},
    {"FindArticuloByID", "", [](auto &t) { t.widget->FindArticuloByID(ArticleChangedTest::plainId()); }, {"Change ID=0", A}},
    {"TypingOver", "chosen", [](auto &t) { t.user->type("x"); }, {"KeyPress 120", "Change ID=H", Cleared}},
    {"HostClearsText", "chosen", [](auto &t) { t.widget->setText({}); }, {"Change ID=H", Cleared}},
    {"HostWritesID", "chosen", [](auto &t) { t.widget->setID(0); }, {Cleared}},
    {"NothingFound", "ZZZQQQ", enter, {"GotFocus2"}},
};

TEST_P(ArticleChangedTest, TellsTheArticleBesideTheControlsEvents)
{
    const QString first = GetParam().typedFirst;
    user->type(first == "plain" ? plainCode() : first == "chosen" ? plainCode() + "\r"
               : first == "varieties" ? codeWithVarieties() : first);
    heard.clear();
    const int before = widget->ID();
    GetParam().act(*this);
    QStringList expected = GetParam().expected;
    expected.replaceInStrings("=H", QStringLiteral("=%1").arg(before));
    expected.replaceInStrings(" A,", QStringLiteral(" %1,").arg(widget->ID()));
    EXPECT_EQ(heard, expected) << heard.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Widget, ArticleChangedTest, ::testing::ValuesIn(Routes), vok::test::byName);

} // namespace

namespace {

// The instant suggestions under the box, heard through the same transcript.
class SuggestionsTest : public WidgetOnFormTest {
public:
    void SetUp() override
    {
        WidgetOnFormTest::SetUp();
        ui::setToolkit(&lists);
    }
    void TearDown() override
    {
        ui::setToolkit(&qtToolkit);
        WidgetOnFormTest::TearDown();
    }

    QLineEdit *edit() const { return static_cast<ui::QtTextBox &>(widget->control().tArticulo()).lineEdit(); }
    vokwidget::SuggestionPopup *popup() const { return widget->findChild<vokwidget::SuggestionPopup *>(); }
    QStringList shown() const
    {
        QStringList rows;
        if (popup() && popup()->isVisible())
            for (const vokwidget::Suggestion &s : popup()->rows())
                rows << s.code + u' ' + s.name;
        return rows;
    }
    // Keys at a person's pace; the first waits for the popup to show.
    void typeSlowly(const QString &keys)
    {
        for (QChar c : keys) {
            QTest::keyClicks(edit(), QString(c));
            QTest::qWait(vokwidget::Suggestions::QuietMs + 15);
        }
    }
    // The first rows of the list the control showed last, code and name as the list shows them.
    QStringList listed() const
    {
        QStringList rows;
        for (const QStringList &cells : lists.reports.back().firstRows)
            if (rows.size() < vokwidget::Suggestions::MaxRows)
                rows << cells.value(0) + u' ' + cells.value(1).trimmed();
        return rows;
    }

    // The Qt toolkit, keeping what each run of the item list reported.
    struct ListReports final : ui::DelegatingToolkit {
        using DelegatingToolkit::DelegatingToolkit;
        void itemListRan(const ui::ItemListReport &report) override { reports.push_back(report); }
        std::vector<ui::ItemListReport> reports;
    } lists{qtToolkit};
};

TEST_F(SuggestionsTest, FollowTheCashierWordByWordAsTheListWouldShowThem)
{
    widget->setSugerencias(true);
    for (const QString word : {"TORNILLO", " ZINC"}) {
        QStringList before = shown();
        for (QChar c : word) {
            typeSlowly(c);
            EXPECT_FALSE(shown().isEmpty()) << "after " << edit()->text().toStdString();
        }
        EXPECT_NE(shown(), before) << word.toStdString();
        before = shown();
        // Enter with no row highlighted opens the list as always: the same rows first.
        user->willChoose(std::nullopt);
        user->type("\r");
        EXPECT_EQ(listed(), before) << word.toStdString();
        QTest::keyClick(edit(), Qt::Key_End); // the list left the text selected
    }
    // Down twice and Enter take the second row with the list's events.
    typeSlowly(QStringLiteral("\b"));
    typeSlowly(QStringLiteral("C"));
    const QString second = shown().value(1);
    heard.clear();
    user->willChoose(std::nullopt); // should the list open after all, it closes unchosen
    QTest::keyClick(edit(), Qt::Key_Down);
    QTest::keyClick(edit(), Qt::Key_Down);
    QTest::keyClick(edit(), Qt::Key_Return);
    EXPECT_EQ(second.section(u' ', 0, 0), widget->Codigo());
    EXPECT_EQ(heard, QStringList({"Change ID=0", QStringLiteral("articleChanged %1,%2").arg(widget->ID()).arg(widget->Variedad()),
                           "KeyPress 13"}));
    EXPECT_FALSE(popup()->isVisible());
}

// Three ways of taking the second match of a text must load the same article with the same events.
struct Taking {
    const char *name;
    bool suggestions;
    std::function<void(SuggestionsTest &)> take;
};
using vok::test::PrintTo;

const Taking Takings[] = {
    {"ListSecondRow", false, [](auto &t) { t.user->willChoose(1), t.user->type("\r"); }},
    {"DownDownEnter", true,
     [](auto &t) {
         QTest::keyClick(t.edit(), Qt::Key_Down), QTest::keyClick(t.edit(), Qt::Key_Down);
         QTest::keyClick(t.edit(), Qt::Key_Return);
     }},
    {"ClickSecondRow", true,
     [](auto &t) {
         const int rowHeight = t.popup()->height() / int(t.popup()->rows().size());
         QTest::mouseClick(t.popup(), Qt::LeftButton, {}, QPoint(10, rowHeight + rowHeight / 2));
     }},
    {"DownUpDownDownEnter", true,
     [](auto &t) {
         for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
             QTest::keyClick(t.edit(), key);
     }},
};

class TakingTest : public SuggestionsTest, public ::testing::WithParamInterface<Taking> {};

TEST_P(TakingTest, LoadsTheListsSecondRowWithItsEvents)
{
    widget->setSugerencias(GetParam().suggestions);
    typeSlowly("TORNILLO ZINC");
    heard.clear();
    if (GetParam().suggestions)
        user->willChoose(std::nullopt); // should the list open after all, it closes unchosen
    GetParam().take(*this);
    // The list's own second row, whichever way it was taken.
    EXPECT_EQ(lists.reports.back().firstRows.at(1).value(0), widget->Codigo());
    EXPECT_EQ(heard, QStringList({"Change ID=0", QStringLiteral("articleChanged %1,0").arg(widget->ID()), "KeyPress 13"}));
}

INSTANTIATE_TEST_SUITE_P(Widget, TakingTest, ::testing::ValuesIn(Takings), vok::test::byName);

TEST_F(SuggestionsTest, AScannersCodeNeverShowsThem)
{
    widget->setSugerencias(true);
    int shows = 0;
    struct CountShows final : QObject {
        int &shows;
        explicit CountShows(int &s) : shows(s) {}
        bool eventFilter(QObject *, QEvent *event) override { return shows += event->type() == QEvent::Show, false; }
    } counter(shows);
    popup()->installEventFilter(&counter);

    QTest::keyClicks(edit(), plainCode());
    QTest::keyClick(edit(), Qt::Key_Return);
    QTest::qWait(3 * vokwidget::Suggestions::QuietMs);
    EXPECT_EQ(shows, 0);
    EXPECT_EQ(widget->ID(), plainId());
    EXPECT_EQ(heard.mid(heard.size() - 3),
              QStringList({"Change ID=0", QStringLiteral("articleChanged %1,0").arg(plainId()), "KeyPress 13"}));
}

TEST_F(SuggestionsTest, OffTheyRunNothingAndHaveNoWindow)
{
    auto recording = std::make_shared<vok::test::FaultyConnection>(widget->control().connection());
    widget->control().setConnect(recording);
    for (bool on : {true, false}) {
        widget->setSugerencias(on);
        recording->calls.clear();
        widget->setText({});
        typeSlowly("TORN");
        EXPECT_EQ(popup() != nullptr, on);
        EXPECT_EQ(!recording->statements().isEmpty(), on);
        // Escape closes them and leaves the text.
        QTest::keyClick(edit(), Qt::Key_Escape);
        EXPECT_EQ(shown(), QStringList());
        EXPECT_EQ(widget->Text(), "TORN");
    }
}

} // namespace
