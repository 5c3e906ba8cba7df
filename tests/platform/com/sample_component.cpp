// A component library for the runtime's tests: one class, a counter reached
// by late binding, and the entry points a component library exports.

#include "platform/com/runtime.h"

namespace {

com::Module g_module;

const com::Guid CounterClassId = *com::Guid::parse(u"{6B1C3A52-0F5E-4C1B-9E7D-2A8F4C3D1E90}");

class Counter final : public com::AutomationObject {
public:
    Counter() : AutomationObject(&g_module)
    {
        addMethod(QStringLiteral("Add"), [this](std::span<vb::Variant> args) {
            m_total += argument(args, 0).get<int32_t>();
            return vb::Variant(m_total);
        });
    }

private:
    int32_t m_total = 0;
};

} // namespace

extern "C" com::HRESULT DllGetClassObject(const com::Guid *clsid, const com::Guid *iid, void **factory)
{
    if (factory)
        *factory = nullptr;
    if (!clsid || *clsid != CounterClassId)
        return com::CLASS_E_CLASSNOTAVAILABLE;
    return com::exportFactory(
        std::make_shared<com::FunctionClassFactory>([] { return std::make_shared<Counter>(); }, &g_module), iid,
        factory);
}

extern "C" com::HRESULT DllCanUnloadNow()
{
    return g_module.canUnload() ? com::S_OK : com::S_FALSE;
}

// For the tests: the library's own object and lock counts.
extern "C" com::Module *VokSampleModule()
{
    return &g_module;
}
