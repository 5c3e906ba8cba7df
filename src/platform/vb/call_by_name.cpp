#include "call_by_name.h"

#include "error.h"

namespace vb {

Variant CallByName(const ObjectRef &object, const QString &member, CallKind kind, std::span<Variant> args)
{
    if (!object)
        throw Error::standard(err::ObjectNotSet);
    return object->invoke(member, kind, args);
}

Variant CallByName(const ObjectRef &object, const QString &member, CallKind kind, std::initializer_list<Variant> args)
{
    std::vector<Variant> copies(args);
    return CallByName(object, member, kind, std::span<Variant>(copies));
}

} // namespace vb
