#include "object.h"

#include "platform/vb/error.h"

#include <algorithm>

namespace com {

Object::Object(Module *module) : m_module(module)
{
    if (m_module)
        m_module->objectCreated();
}

Object::~Object()
{
    if (m_module)
        m_module->objectDestroyed();
}

std::shared_ptr<Object> Object::queryInterface(const Guid &iid)
{
    const auto ids = interfaceIds();
    if (iid == IID_IUnknown || iid == IID_IDispatch || std::find(ids.begin(), ids.end(), iid) != ids.end())
        return shared_from_this();
    return nullptr;
}

vb::Variant Object::invoke(const QString &, vb::CallKind, std::span<vb::Variant>)
{
    throw vb::Error::standard(vb::err::MemberNotSupported);
}

namespace {

QString memberKey(const QString &name)
{
    return name.toCaseFolded();
}

} // namespace

vb::Variant AutomationObject::invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args)
{
    const QString key = memberKey(member);
    auto found = m_members.find({key, kind});
    // "x = obj.Value(1)" and "obj.Value" as a statement reach a property get as
    // a method call; the platform lets that through.
    if (found == m_members.end() && kind == vb::CallKind::Method)
        found = m_members.find({key, vb::CallKind::PropertyGet});
    if (found == m_members.end())
        throw vb::Error::standard(vb::err::MemberNotSupported);
    return found->second(args);
}

void AutomationObject::addMethod(const QString &name, Member body)
{
    m_members[{memberKey(name), vb::CallKind::Method}] = std::move(body);
}

void AutomationObject::addPropertyGet(const QString &name, Member body)
{
    m_members[{memberKey(name), vb::CallKind::PropertyGet}] = std::move(body);
}

void AutomationObject::addPropertyLet(const QString &name, Member body)
{
    m_members[{memberKey(name), vb::CallKind::PropertyLet}] = std::move(body);
}

void AutomationObject::addPropertySet(const QString &name, Member body)
{
    m_members[{memberKey(name), vb::CallKind::PropertySet}] = std::move(body);
}

vb::Variant &AutomationObject::argument(std::span<vb::Variant> args, size_t index)
{
    if (index >= args.size())
        throw vb::Error::standard(vb::err::InvalidProcedureCall);
    return args[index];
}

void ClassFactory::lockServer(bool lock)
{
    if (module())
        module()->lock(lock);
}

std::span<const Guid> ClassFactory::interfaceIds() const
{
    static const Guid ids[] = {IID_IClassFactory};
    return ids;
}

} // namespace com
