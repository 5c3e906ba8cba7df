// Feeds arbitrary text to the Transact-SQL tokenizer and to the embedded back
// end's whole rewriting (the translation, the server collation, the index
// probes and the merged streams): the tokens give the text back exactly; every
// string literal of the input stands unchanged in each rewriting (N'..' loses
// only its prefix); and a text of one statement never becomes several.

#include "lookup/plan/lookup_planner.h"
#include "platform/rdo/tsql/statement_rewriter.h"
#include "platform/rdo/tsql/tsql_translator.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

const QStringList kTextColumns{QStringLiteral("ArtNombre"), QStringLiteral("ArtNombreCorto"),
                               QStringLiteral("ArtCodigo"), QStringLiteral("AVaNombre"),
                               QStringLiteral("ACBCodigo")};

void fail(const char *what, const QString &input, const QString &output)
{
    // Shown with a NUL as \0, so that the whole text is seen.
    const auto shown = [](QString text) { return text.replace(QChar(0), QStringLiteral("\\0")).toUtf8(); };
    std::fprintf(stderr, "%s\ninput:  %s\noutput: %s\n", what, shown(input).constData(), shown(output).constData());
    std::abort();
}

void keepsLiteralsAndUnity(const char *stage, const std::vector<rdo::TsqlToken> &tokens, const QString &input,
                           const QString &output, bool single)
{
    std::fprintf(stderr, "after the %s:\n", stage);
    for (const auto &token : tokens) {
        if (token.kind != rdo::TsqlToken::String)
            continue;
        const QStringView literal = token.text.startsWith(u'N') || token.text.startsWith(u'n') ? token.text.mid(1)
                                                                                                : token.text;
        if (!output.contains(literal))
            fail("a literal changed", input, output);
    }
    if (single && rdo::holdsSeveralStatements(output))
        fail("one statement became several", input, output);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto tokens = rdo::tokenizeTsql(text);
    QString joined;
    for (const auto &token : tokens)
        joined += token.text;
    if (joined != text)
        std::abort();

    const bool single = !rdo::holdsSeveralStatements(text);
    keepsLiteralsAndUnity("translation", tokens, text, rdo::translateForSqlite(text, rdo::textColumns(kTextColumns)), single);

    static const lookup::LookupPlanner planner(kTextColumns);
    static const rdo::SqliteTranslation translation(kTextColumns, true);
    keepsLiteralsAndUnity("plans", tokens, text, translation.rewrite(lookup::withIndexProbes(text)), single);
    // The streams are statements of the planner's own; each is one statement.
    if (const auto plan = planner.plan(text); plan && single)
        for (const auto &stream : plan->streams)
            for (const QString &sql : lookup::statementsOf(stream))
                if (rdo::holdsSeveralStatements(sql))
                    fail("a stream holds several statements", text, sql);
    return 0;
}
