#include "font_object.h"

#include "module.h"

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

namespace component {

FontObject::FontObject(std::weak_ptr<vokTArticulo> control)
    : com::AutomationObject(&libraryModule()), m_control(std::move(control))
{
    if (const auto held = m_control.lock())
        m_detached = held->Font();

    const auto property = [this](const QString &name, auto read, auto write) {
        addPropertyGet(name, [this, read](std::span<vb::Variant>) { return read(value()); });
        addPropertyLet(name, [this, write](std::span<vb::Variant> args) {
            const vb::Variant &given = argument(args, 0);
            change([&](ui::Font &font) { write(font, given); });
            return vb::Variant();
        });
    };
    property("Name", [](const ui::Font &f) { return vb::Variant(f.name); },
             [](ui::Font &f, const vb::Variant &v) { f.name = vb::CStr(v); });
    property("Size", [](const ui::Font &f) { return vb::Variant(f.size); },
             [](ui::Font &f, const vb::Variant &v) { f.size = vb::CDbl(v); });
    property("Bold", [](const ui::Font &f) { return vb::Variant(f.bold); },
             [](ui::Font &f, const vb::Variant &v) { f.bold = vb::CBool(v); });
    property("Italic", [](const ui::Font &f) { return vb::Variant(f.italic); },
             [](ui::Font &f, const vb::Variant &v) { f.italic = vb::CBool(v); });
    property("Underline", [](const ui::Font &f) { return vb::Variant(f.underline); },
             [](ui::Font &f, const vb::Variant &v) { f.underline = vb::CBool(v); });
    property("Strikethrough", [](const ui::Font &f) { return vb::Variant(f.strikethrough); },
             [](ui::Font &f, const vb::Variant &v) { f.strikethrough = vb::CBool(v); });
}

ui::Font FontObject::value() const
{
    if (const auto held = m_control.lock())
        return held->Font();
    return m_detached;
}

void FontObject::change(const std::function<void(ui::Font &)> &edit)
{
    ui::Font font = value();
    edit(font);
    m_detached = font;
    if (const auto held = m_control.lock())
        held->setFont(font);
}

ui::Font fontFrom(const vb::Variant &value)
{
    const vb::ObjectRef object = value.object();
    if (!object)
        throw vb::Error::standard(vb::err::ObjectNotSet);
    if (const auto font = std::dynamic_pointer_cast<FontObject>(object))
        return font->value();
    const auto read = [&](const char *name) {
        return object->invoke(QString::fromLatin1(name), vb::CallKind::PropertyGet, {});
    };
    ui::Font font;
    font.name = vb::CStr(read("Name"));
    font.size = vb::CDbl(read("Size"));
    font.bold = vb::CBool(read("Bold"));
    font.italic = vb::CBool(read("Italic"));
    font.underline = vb::CBool(read("Underline"));
    font.strikethrough = vb::CBool(read("Strikethrough"));
    return font;
}

} // namespace component
