#pragma once
// What the fuzzers of the statements share: the shape of a statement, a small
// generated catalogue to run statements on, and input bytes read as the
// UTF-16 text a user could type or paste (lone surrogates and NUL included).

#include "catalogue.h"
#include "platform/rdo/tsql/tsql_translator.h"

#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <cstring>

namespace vok::fuzz {

// The tokens of a statement outside blanks, each by its kind, with its text
// unless it is a string literal or a number: two statements of the same shape
// differ only inside their literals and numbers.
inline QStringList statementShape(const QString &sql)
{
    QStringList shape;
    for (const rdo::TsqlToken &token : rdo::tokenizeTsql(sql)) {
        if (token.kind == rdo::TsqlToken::Blank)
            continue;
        const bool variable = token.kind == rdo::TsqlToken::String || token.kind == rdo::TsqlToken::Number;
        shape << QString::number(token.kind) + (variable ? QString() : u':' + token.text.toString().toLower());
    }
    return shape;
}

// Bytes as UTF-16 code units, unchecked.
inline QString utf16Text(const uint8_t *data, size_t size)
{
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(text.data(), data, (size / 2) * 2);
    return text;
}

// A catalogue of a thousand articles, generated once per process.
inline QString smallCatalogue()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        vok::catalogue::Options options;
        options.articles = 1000;
        options.seed = 12;
        options.output = folder.filePath(QStringLiteral("catalogue.db")).toStdString();
        vok::catalogue::generate(options);
        return QString::fromStdString(options.output.string());
    }();
    return path;
}

} // namespace vok::fuzz
