#pragma once
// The platform's run-time error: a number, the component that raised it and a
// description. Routines throw it where the original platform raised an error,
// and callers trap it where the original trapped.

#include <QString>

#include <cstdint>
#include <exception>
#include <string>

namespace vb {

class Error : public std::exception {
public:
    Error(int32_t number, QString description, QString source = {});

    // The platform's own error with its standard description
    // (6 "Overflow", 13 "Type mismatch", 94 "Invalid use of Null", ...).
    static Error standard(int32_t number, QString source = {});
    static QString standardDescription(int32_t number);

    int32_t number() const { return m_number; }
    const QString &description() const { return m_description; }
    const QString &source() const { return m_source; }

    // "<number> - <description>", the way the control reports an error to its host.
    QString numberAndDescription() const;

    const char *what() const noexcept override { return m_what.c_str(); }

private:
    int32_t m_number;
    QString m_description;
    QString m_source;
    std::string m_what;
};

// Error numbers of the platform that this library raises or relies on.
namespace err {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t InvalidUseOfNull = 94;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t InvalidPropertyArrayIndex = 381;
inline constexpr int32_t InvalidPicture = 481;
inline constexpr int32_t CannotCreateObject = 429;
inline constexpr int32_t MemberNotSupported = 438;
} // namespace err

} // namespace vb
