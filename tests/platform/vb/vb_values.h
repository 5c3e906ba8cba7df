#pragma once
// What the value tests share: an object to convert, a readable name for a
// value in failure messages, and a default locale switched for one test.

#include "platform/vb/conversions.h"

#include <QLocale>

#include <string>

namespace vok::test {

class DummyObject : public vb::Object {
public:
    vb::Variant invoke(const QString &, vb::CallKind, std::span<vb::Variant>) override { return {}; }
};

inline std::string describe(const vb::Variant &value)
{
    switch (value.type()) {
    case vb::VarType::Null: return "Null";
    case vb::VarType::Object: return "Object";
    case vb::VarType::Empty: return "Empty";
    case vb::VarType::String: return '"' + value.get<QString>().toStdString() + '"';
    case vb::VarType::Double: return std::to_string(value.get<double>());
    default: return vb::CStr(value).toStdString();
    }
}

// Restores the pinned "C" locale when it goes.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~ScopedLocale() { QLocale::setDefault(QLocale::c()); }
};

} // namespace vok::test
