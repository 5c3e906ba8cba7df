#pragma once
// A language pack: the host application's language component for one
// language, whose texts come from a data file.
//
// The file is UTF-8 text in two sections:
//   [identifiers]   the programmatic identifiers the pack is registered under,
//                   one a line (e.g. LNG_QFA_001.clsResources)
//   [texts]         "number=text" lines; the text is everything after the "=",
//                   blanks included
// Blank lines and lines starting with "#" are ignored.

#include "platform/com/object.h"

#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>

namespace host {

struct LanguageTexts {
    QStringList identifiers;
    std::map<int32_t, QString> texts;

    // Raises an error naming the file (and the line) when it is missing or malformed.
    static LanguageTexts read(const QString &path);
};

class LanguagePack final : public com::AutomationObject {
public:
    LanguagePack(std::shared_ptr<const LanguageTexts> texts, com::Module *module);

    // The text with this number; the platform's error 326 when the pack has none.
    QString resLoad(int32_t number) const;
    const QString &appName() const { return m_appName; }
    uint8_t secondLanguage() const { return m_secondLanguage; }

private:
    std::shared_ptr<const LanguageTexts> m_texts;
    QString m_appName;
    uint8_t m_secondLanguage = 0;
};

} // namespace host
