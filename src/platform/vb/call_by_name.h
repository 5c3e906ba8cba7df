#pragma once
// The platform's CallByName: reaches a member of an object by its name.

#include "variant.h"

#include <initializer_list>
#include <vector>

namespace vb {

// Calls the member with arguments passed by reference (written back into args).
// Nothing set in the object reference is the platform's error 91.
Variant CallByName(const ObjectRef &object, const QString &member, CallKind kind, std::span<Variant> args);
// The same with arguments passed by value.
Variant CallByName(const ObjectRef &object, const QString &member, CallKind kind,
                   std::initializer_list<Variant> args = {});

} // namespace vb
