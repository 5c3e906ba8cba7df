#pragma once
// The font object of the control's Font property: the platform's standard font
// with Name, Size, Bold, Italic, Underline and Strikethrough, reached by name.
//
// An object handed out by the control's Font getter is a live view of the text
// box's font: changing one of its properties changes the control's font at
// once (and lays the control out again), as a host expects of the shared font
// object. Once the control is gone the object keeps the last font it saw and
// goes on as a detached font. Assigning it to another control (Font set)
// copies the font; the two controls do not share it afterwards.

#include "control/vok_t_articulo.h"
#include "platform/com/object.h"

#include <memory>

namespace component {

class FontObject final : public com::AutomationObject {
public:
    explicit FontObject(std::weak_ptr<vokTArticulo> control);

    ui::Font value() const;

private:
    void change(const std::function<void(ui::Font &)> &edit);

    std::weak_ptr<vokTArticulo> m_control;
    ui::Font m_detached;
};

// The font of a value assigned to a Font property: a FontObject, or any object
// with the font's properties reached by name. Nothing is the platform's error
// 91; a value that is no object, error 13.
ui::Font fontFrom(const vb::Variant &value);

} // namespace component
