// Every database operation of an entry, an F4 search, an F12 view and a find by
// identifier failed in turn: each failure ends the way the routine that met it
// promises (one Error event, a reader giving 0, the dialog's "nothing found",
// a partly filled view, the host's call failing), and the next lookup on the
// same control works.

#include "catalogue_fixture.h"
#include "faulty_connection.h"

#include "detail/frm_foto.h"
#include "search/frm_busqueda.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

namespace {

using vok::test::FaultyConnection;

// Which routine a statement belongs to.
enum class Owner { Reader, Check, List, Probe, Detail };

Owner ownerOf(const QString &sql)
{
    if (sql.contains(QLatin1String("genParametros")) || sql.startsWith(QLatin1String("Select TPrID")))
        return Owner::Reader;
    if (sql.startsWith(QLatin1String("Select Top 1 ArtID From Articulo Where ArtID > 0")))
        return Owner::Check;
    if (sql.startsWith(QLatin1String("Select Top 1 * From ArticuloVariedad")))
        return Owner::Probe;
    if (sql.contains(QLatin1String("As Tipo")))
        return Owner::List;
    return Owner::Detail;
}

// What a routine left behind.
struct Outcome {
    int32_t id = 0;
    int errorEvents = 0;
    QString errorText;
    std::optional<int32_t> thrown; // the error number the host's call failed with
    size_t messages = 0;
    QStringList labels; // the detail view's labels as loaded
};

class FaultInjectionTest : public CatalogueFixture {
protected:
    void SetUp() override
    {
        CatalogueFixture::SetUp();
        detail::setDetailLoadedListener([this](const detail::frmFoto &foto) {
            shownLabels = {foto.lblTitulo().caption(), foto.lblCaracteristicas().caption(),
                           foto.lblPrecio().caption()};
        });
    }
    void TearDown() override
    {
        detail::setDetailLoadedListener({});
        CatalogueFixture::TearDown();
    }
    static void TearDownTestSuite()
    {
        std::printf("%d faults injected, each followed by a clean lookup\n", injected);
        CatalogueFixture::TearDownTestSuite();
    }

    // A control as the host creates it, so that the settings readers run again.
    void freshControl()
    {
        log.reset();
        control = std::make_unique<vokTArticulo>();
        log = std::make_unique<EventLog>(*control);
        control->advise(log.get());
        faulty = std::make_shared<FaultyConnection>(
            rdo::rdoConnection::open("sqlite:" + QString::fromStdString(catalogue().string())));
        control->setConnect(faulty);
        control->setEmpresa(1);
        control->setListaPrecios(1);
        control->tArticulo().setFocus();
    }

    // Runs one routine with the nth operation failing (0: none).
    Outcome run(const std::function<void()> &routine, int n)
    {
        faulty->failAt(n);
        log->events.clear();
        toolkit().clearMessages();
        shownLabels.clear();
        Outcome outcome;
        try {
            routine();
        } catch (const vb::Error &error) {
            outcome.thrown = error.number();
        }
        outcome.id = control->ID();
        for (const QString &event : log->events)
            if (event.startsWith(QLatin1String("Error "))) {
                ++outcome.errorEvents;
                outcome.errorText = event;
            }
        outcome.messages = toolkit().messages().size();
        outcome.labels = shownLabels;
        return outcome;
    }

    void searchF4(const QString &typed)
    {
        toolkit().queueModalAnswer([typed](ui::Form &ventana) {
            search::frmBusqueda *dialogo = search::frmBusqueda::deVentana(ventana);
            ASSERT_NE(dialogo, nullptr);
            dialogo->txtTexto().setFocus();
            static_cast<ui::HeadlessTextBox &>(dialogo->txtTexto()).type(typed);
            static_cast<ui::HeadlessButton &>(dialogo->btnOk()).click();
        });
        toolkit().queueItemListAnswer(0);
        text().pressKey(0x73); // F4
    }

    // Fails every operation of the routine in turn and checks each outcome
    // against the clean run; then the same control must look up again.
    void failEveryOperation(const std::function<void()> &routine,
                            const std::function<void(const Outcome &clean, const Outcome &faulted, Owner, FaultyConnection::Operation)> &expect)
    {
        freshControl();
        const Outcome clean = run(routine, 0);
        const std::vector<FaultyConnection::Call> calls = faulty->calls;
        ASSERT_GT(calls.size(), 2u);
        ASSERT_EQ(clean.errorEvents, 0);
        ASSERT_FALSE(clean.thrown);
        for (size_t n = 1; n <= calls.size(); ++n) {
            const auto &call = calls[n - 1];
            SCOPED_TRACE(QStringLiteral("operation %1 (%2) of %3")
                             .arg(n)
                             .arg(static_cast<int>(call.operation))
                             .arg(call.sql.left(60))
                             .toStdString());
            freshControl();
            const Outcome faulted = run(routine, static_cast<int>(n));
            ASSERT_TRUE(faulty->faulted());
            expect(clean, faulted, ownerOf(call.sql), call.operation);
            ++injected;

            const Outcome again = run(routine, 0);
            EXPECT_EQ(again.id, clean.id) << "the next lookup after the fault";
            EXPECT_EQ(again.errorEvents, 0);
            EXPECT_FALSE(again.thrown);
        }
    }

    std::shared_ptr<FaultyConnection> faulty;
    QStringList shownLabels;
    inline static int injected = 0;
};

// The item list closes its result set however it ends and ignores a failing
// close: the rows were read, so the lookup goes on.
bool listCloseIgnored(Owner owner, FaultyConnection::Operation operation)
{
    return owner == Owner::List && operation == FaultyConnection::Operation::Close;
}

TEST_F(FaultInjectionTest, EntryReportsOneErrorEventOrReadsZero)
{
    const QString name = firstText("Select ArtNombre From Articulo Where ArtID = " +
                                   std::to_string(firstId(LoadableArticle +
                                                          " And ArtID In (Select AVaArticulo From ArticuloVariedad)")));
    failEveryOperation([&] { enterAfresh(name); }, [](const Outcome &clean, const Outcome &faulted, Owner owner,
                                               FaultyConnection::Operation operation) {
        EXPECT_FALSE(faulted.thrown) << "nothing of a lookup reaches the host as a failed call";
        if (owner == Owner::Reader || listCloseIgnored(owner, operation)) {
            EXPECT_EQ(faulted.errorEvents, 0);
            EXPECT_EQ(faulted.id, clean.id);
            return;
        }
        EXPECT_EQ(faulted.errorEvents, 1);
        EXPECT_EQ(faulted.errorText, QStringLiteral("Error %1 - %2").arg(FaultyConnection::FaultNumber).arg(FaultyConnection::faultText()));
        // The probe runs once the article is loaded; the list's failure leaves it cleared.
        EXPECT_EQ(faulted.id, owner == Owner::Probe ? clean.id : 0);
    });
}

TEST_F(FaultInjectionTest, SearchDialogSaysNothingFoundOrEndsQuietly)
{
    const QString name = firstText("Select ArtNombre From Articulo Where ArtID = " + std::to_string(firstId(LoadableArticle)));
    failEveryOperation([&] { searchF4(name); }, [](const Outcome &clean, const Outcome &faulted, Owner owner,
                                                  FaultyConnection::Operation operation) {
        EXPECT_EQ(faulted.errorEvents, 0) << "a failed search never reaches the host";
        EXPECT_FALSE(faulted.thrown);
        if (owner == Owner::Reader || listCloseIgnored(owner, operation)) {
            EXPECT_EQ(faulted.id, clean.id);
            EXPECT_EQ(faulted.messages, 0u);
        } else if (owner == Owner::Check) {
            EXPECT_EQ(faulted.messages, 1u) << "the dialog's nothing found";
            EXPECT_EQ(faulted.id, 0);
        } else {
            EXPECT_EQ(faulted.messages, 0u);
            EXPECT_EQ(faulted.id, owner == Owner::Probe ? clean.id : 0);
        }
    });
}

TEST_F(FaultInjectionTest, DetailViewOpensPartlyFilled)
{
    int32_t articulo = static_cast<int32_t>(firstId(LoadableArticle));
    failEveryOperation(
        [&] {
            int16_t variedad = 0;
            control->MostrarDetalle(articulo, variedad);
        },
        [](const Outcome &clean, const Outcome &faulted, Owner, FaultyConnection::Operation) {
            EXPECT_EQ(faulted.errorEvents, 0);
            EXPECT_FALSE(faulted.thrown);
            ASSERT_EQ(faulted.labels.size(), clean.labels.size()) << "the view opens all the same";
            for (qsizetype i = 0; i < clean.labels.size(); ++i)
                EXPECT_TRUE(faulted.labels[i] == clean.labels[i] || faulted.labels[i].isEmpty())
                    << "label " << i << ": " << faulted.labels[i].toStdString();
        });
}

TEST_F(FaultInjectionTest, FindByIdFailsTheHostsCall)
{
    const int32_t id = static_cast<int32_t>(firstId(LoadableArticle + " And ArtID In (Select AVaArticulo From ArticuloVariedad)"));
    failEveryOperation([&] { control->FindArticuloByID(id); }, [](const Outcome &clean, const Outcome &faulted,
                                                                 Owner owner, FaultyConnection::Operation operation) {
        EXPECT_EQ(faulted.errorEvents, 0) << "the host hears of it through its call";
        if (owner == Owner::Reader || listCloseIgnored(owner, operation)) {
            EXPECT_FALSE(faulted.thrown);
            EXPECT_EQ(faulted.id, clean.id);
            return;
        }
        EXPECT_EQ(faulted.thrown, FaultyConnection::FaultNumber);
        EXPECT_EQ(faulted.id, owner == Owner::Probe ? clean.id : 0);
    });
}

} // namespace
