// Builds the search dialog's condition from arbitrary criteria: any text the
// user can leave in the box (single quotes are deleted before the condition is
// built) with any entry of the combos. The condition has the shape of the one
// built for a harmless text with the same entries, and the dialog's check
// statement with it runs on the embedded back end without an error (a NUL
// aside, which SQLite reads as the end of the statement).
//
// The first five bytes choose the combo entries, the rest is the text.

#include "fuzz_support.h"

#include "platform/rdo/rdo.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"
#include "search/condition_builder.h"

#include <cstdio>
#include <cstdlib>

namespace {

QString checkStatement(const QString &condition)
{
    // The control's base statement for company 1, then the dialog's " And ".
    return QStringLiteral("Select Top 1 ArtID From Articulo Where ArtID > 0  And ArtEmpresa = 1 And "
                          "(ArtNoUtilizarGenerico = 0 Or 1= 0) And ") +
           condition;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    search::Criterios criterios;
    criterios.cmbCampo = data[0] % 11;
    criterios.cmbTipo = 1 + data[1] % 3;
    criterios.cmbEnUso = 1 + data[2] % 3;
    criterios.cmbEnVenta = 1 + data[3] % 3;
    criterios.cmbCB = 1 + data[4] % 3;
    criterios.txtTexto = vok::fuzz::utf16Text(data + 5, size - 5).remove(u'\'');

    search::Criterios harmless = criterios;
    harmless.txtTexto = vb::Trim(criterios.txtTexto).isEmpty() ? criterios.txtTexto : QStringLiteral("tornillo");

    const QString condition = search::ArmarCondicion(criterios);
    const QString expected = search::ArmarCondicion(harmless);
    if (condition.isEmpty() || vok::fuzz::statementShape(condition) != vok::fuzz::statementShape(expected)) {
        std::fprintf(stderr, "the text changed the condition's shape:\n%s\n", qUtf8Printable(condition));
        std::abort();
    }
    const QString statement = checkStatement(condition);
    if (rdo::holdsSeveralStatements(statement))
        std::abort();

    static const auto connection = rdo::rdoConnection::open(QStringLiteral("sqlite:") + vok::fuzz::smallCatalogue());
    try {
        const auto rows = connection->OpenResultset(statement);
        (void)rows->Eof();
        rows->Close();
    } catch (const vb::Error &error) {
        if (!criterios.txtTexto.contains(QChar(0))) {
            std::fprintf(stderr, "the check failed: %s\n%s\n", qUtf8Printable(error.numberAndDescription()),
                         qUtf8Printable(statement));
            std::abort();
        }
    }
    return 0;
}
