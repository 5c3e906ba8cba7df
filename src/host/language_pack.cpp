#include "language_pack.h"

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QFile>

namespace host {

namespace {
constexpr int32_t ResourceNotFound = 326;

[[noreturn]] void malformed(const QString &path, qsizetype line, const QString &why)
{
    throw vb::Error(vb::err::InvalidProcedureCall,
                    QStringLiteral("language pack %1, line %2: %3").arg(path).arg(line).arg(why));
}
} // namespace

LanguageTexts LanguageTexts::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw vb::Error(vb::err::InvalidProcedureCall,
                        QStringLiteral("language pack %1: %2").arg(path, file.errorString()));
    LanguageTexts pack;
    enum class Section { None, Identifiers, Texts } section = Section::None;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#'))
            continue;
        if (trimmed == QStringLiteral("[identifiers]")) {
            section = Section::Identifiers;
        } else if (trimmed == QStringLiteral("[texts]")) {
            section = Section::Texts;
        } else if (section == Section::Identifiers) {
            if (trimmed.contains(u' '))
                malformed(path, i + 1, QStringLiteral("an identifier holds no blanks"));
            pack.identifiers.append(trimmed);
        } else if (section == Section::Texts) {
            const qsizetype equals = line.indexOf(u'=');
            bool isNumber = false;
            const int32_t number = line.left(equals).trimmed().toInt(&isNumber);
            if (equals < 0 || !isNumber)
                malformed(path, i + 1, QStringLiteral("expected number=text"));
            if (!pack.texts.emplace(number, line.mid(equals + 1)).second)
                malformed(path, i + 1, QStringLiteral("text %1 is given twice").arg(number));
        } else {
            malformed(path, i + 1, QStringLiteral("expected [identifiers] or [texts]"));
        }
    }
    if (pack.identifiers.isEmpty())
        malformed(path, lines.size(), QStringLiteral("the pack names no identifier"));
    return pack;
}

LanguagePack::LanguagePack(std::shared_ptr<const LanguageTexts> texts, com::Module *module)
    : AutomationObject(module), m_texts(std::move(texts))
{
    addPropertyLet(QStringLiteral("IDAppName"), [this](std::span<vb::Variant> args) {
        m_appName = vb::CStr(argument(args, 0));
        return vb::Variant();
    });
    addPropertyLet(QStringLiteral("IDSLNG"), [this](std::span<vb::Variant> args) {
        m_secondLanguage = vb::CByte(argument(args, 0));
        return vb::Variant();
    });
    addMethod(QStringLiteral("resLoad"), [this](std::span<vb::Variant> args) {
        return vb::Variant(resLoad(vb::CLng(argument(args, 0))));
    });
}

QString LanguagePack::resLoad(int32_t number) const
{
    const auto found = m_texts->texts.find(number);
    if (found == m_texts->texts.end())
        throw vb::Error(ResourceNotFound,
                        QStringLiteral("Resource with identifier '%1' not found").arg(number));
    return found->second;
}

} // namespace host
