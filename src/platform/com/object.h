#pragma once
// Reference-counted component objects. An object answers interface queries
// from the list of interface identities it declares; holders share it through
// std::shared_ptr, whose count is the object's reference count.

#include "guid.h"
#include "platform/vb/variant.h"

#include <QString>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace com {

// The objects and server locks alive in one component library; the library
// may be unloaded only when both are zero.
class Module {
public:
    int objects() const { return m_objects.load(); }
    int locks() const { return m_locks.load(); }
    bool canUnload() const { return objects() == 0 && locks() == 0; }

    void objectCreated() { ++m_objects; }
    void objectDestroyed() { --m_objects; }
    void lock(bool on) { on ? ++m_locks : --m_locks; }

private:
    std::atomic<int> m_objects{0};
    std::atomic<int> m_locks{0};
};

class Object : public vb::Object, public std::enable_shared_from_this<Object> {
public:
    explicit Object(Module *module = nullptr);
    ~Object() override;
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    // This object when it implements the interface, else null. Every object
    // implements IUnknown and IDispatch.
    std::shared_ptr<Object> queryInterface(const Guid &iid);

    // Late binding: an object without members refuses every call with error 438.
    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override;

protected:
    // Further interfaces the object implements, beyond IUnknown and IDispatch.
    virtual std::span<const Guid> interfaceIds() const { return {}; }
    Module *module() const { return m_module; }

private:
    Module *m_module;
};

// An object whose members are reached by name, as an automation object's are.
// Member names are compared without regard to case, like the platform's. A
// property get may also be called as a method; an unknown member, or one
// reached the wrong way, is the platform's error 438.
class AutomationObject : public Object {
public:
    using Member = std::function<vb::Variant(std::span<vb::Variant> args)>;

    using Object::Object;
    vb::Variant invoke(const QString &member, vb::CallKind kind, std::span<vb::Variant> args) override;

protected:
    void addMethod(const QString &name, Member body);
    void addPropertyGet(const QString &name, Member body);
    void addPropertyLet(const QString &name, Member body);
    void addPropertySet(const QString &name, Member body);

    // The argument at index, or the platform's error 5 when it was not passed.
    static vb::Variant &argument(std::span<vb::Variant> args, size_t index);

private:
    std::map<std::pair<QString, vb::CallKind>, Member> m_members;
};

// Creates the objects of one class.
class ClassFactory : public Object {
public:
    using Object::Object;
    virtual std::shared_ptr<Object> createInstance() = 0;
    void lockServer(bool lock);

protected:
    std::span<const Guid> interfaceIds() const override;
};

// A factory that builds its objects with a function.
class FunctionClassFactory final : public ClassFactory {
public:
    using Create = std::function<std::shared_ptr<Object>()>;
    explicit FunctionClassFactory(Create create, Module *module = nullptr)
        : ClassFactory(module), m_create(std::move(create)) {}
    std::shared_ptr<Object> createInstance() override { return m_create(); }

private:
    Create m_create;
};

} // namespace com
