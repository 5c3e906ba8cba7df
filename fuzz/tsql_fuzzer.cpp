// Feeds arbitrary text to the Transact-SQL tokenizer and translator: the tokens
// must give the text back exactly, and every string literal of the input must
// stand unchanged in the translation (N'..' loses only its prefix).

#include "platform/rdo/tsql_translator.h"

#include <QString>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const auto tokens = rdo::tokenizeTsql(text);
    QString joined;
    for (const auto &token : tokens)
        joined += token.text;
    if (joined != text)
        std::abort();

    (void)rdo::holdsSeveralStatements(text);
    const QString translated = rdo::translateForSqlite(text, rdo::textColumns({QStringLiteral("ArtNombre")}));
    for (const auto &token : tokens) {
        if (token.kind != rdo::TsqlToken::String)
            continue;
        const QString literal = token.text.startsWith(u'N') || token.text.startsWith(u'n') ? token.text.mid(1)
                                                                                            : token.text;
        if (!translated.contains(literal))
            std::abort();
    }
    return 0;
}
