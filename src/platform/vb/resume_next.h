#pragma once
// The platform's "On Error Resume Next" for one step: the step runs, and an
// error it raises is handed back instead of ending the caller.

#include "error.h"

#include <optional>

namespace vb {

template <typename Step>
std::optional<Error> ResumeNext(Step &&step)
{
    try {
        step();
        return std::nullopt;
    } catch (const Error &error) {
        return error;
    } catch (const std::exception &error) {
        return Error(err::InvalidProcedureCall, QString::fromUtf8(error.what()));
    }
}

} // namespace vb
