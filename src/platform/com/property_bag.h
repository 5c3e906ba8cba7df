#pragma once
// Property bags: the named values a container keeps for a control on a stored
// form, and the form file in which a host keeps the bags of every control on
// one form.
//
// A bag holds Variants (Empty, Null, Byte, Integer, Long, Double, Boolean,
// String) and fonts. A font is not a Variant object here but a record of its
// own (ui::Font, kept by value): it is read and written with ReadFont and
// WriteFont, and a font stored under a key is never confused with a Variant.
//
// Keys are compared without regard to case, as the platform's containers
// compare them; a bag keeps the spelling and the order of the first write.
//
// Form file format (UTF-8 text, one file per form):
//
//   # comment; blank lines and lines starting with '#' or ';' are skipped
//   [txtArticulo]
//   Appearance = Integer 1
//   BackColor = Long &H80000005
//   Enabled = Boolean False
//   Font = Font "Arial" 9.75 Bold Italic
//   FormatCodigo = String "##-####"
//   EnUsoObligatorio = Byte 1
//
// Each "[name]" line opens the bag of the control of that name; the lines
// after it are "Key = Type value" with Type one of
//   Empty, Null                 no value
//   Byte n, Integer n           decimal, within the type's range
//   Long n                      decimal, or &H and up to 8 hex digits (a
//                               negative Long, such as a system colour, is
//                               written in hex)
//   Double x                    decimal with '.', shortest exact form
//   Boolean True|False
//   String "text"               escapes \" \\ \n \r \t
//   Font "name" size [Bold] [Italic] [Underline] [Strikethrough]
// A malformed line, a key outside a section, a repeated key or control name
// are errors naming the file and the line.

#include "platform/ui/window.h"
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <utility>
#include <variant>
#include <vector>

namespace com {

class PropertyBag {
public:
    using Value = std::variant<vb::Variant, ui::Font>;

    virtual ~PropertyBag();

    // The stored value, or defaultValue when the key is absent. A font
    // stored under the key is the platform's error 13.
    vb::Variant ReadProperty(const QString &name, const vb::Variant &defaultValue = {}) const;
    // Stores value; a value equal to defaultValue stores nothing and drops
    // what was stored under the key, so that a read with the same default
    // gives it back.
    void WriteProperty(const QString &name, const vb::Variant &value, const vb::Variant &defaultValue = {});
    // The same for fonts; a Variant stored under the key is error 13.
    ui::Font ReadFont(const QString &name, const ui::Font &defaultValue) const;
    void WriteFont(const QString &name, const ui::Font &value, const ui::Font &defaultValue);

    bool contains(const QString &name) const { return find(name) != nullptr; }

    // Equal as a write compares a value with its default: numbers of any
    // numeric type by value, everything else by type and value.
    static bool sameValue(const vb::Variant &a, const vb::Variant &b);

protected:
    virtual const Value *find(const QString &name) const = 0;
    virtual void store(const QString &name, Value value) = 0;
    virtual void remove(const QString &name) = 0;
};

// A bag in memory, the entries in the order first written.
class MemoryPropertyBag : public PropertyBag {
public:
    using Entry = std::pair<QString, Value>;

    const std::vector<Entry> &entries() const { return m_entries; }
    QStringList keys() const;
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

protected:
    const Value *find(const QString &name) const override;
    void store(const QString &name, Value value) override;
    void remove(const QString &name) override;

private:
    friend class FormStore; // keeps every value of a file, a Null included
    std::vector<Entry> m_entries;
};

// The bags of the controls on one form, kept in one form file.
class FormStore {
public:
    explicit FormStore(QString path);

    const QString &path() const { return m_path; }

    // Replaces the bags in memory with those of the file. A file that cannot
    // be read is error 53, a malformed one error 321 naming file and line;
    // after an error the store is left as it was.
    void load();
    // Writes every bag to the file (replaced whole, never half-written). A
    // value the format cannot hold (an object) is error 13, a file that
    // cannot be written error 75.
    void save() const;

    // The bag of the named control, created empty when the form has none.
    MemoryPropertyBag &control(const QString &name);
    // The bag of the named control, or null.
    const MemoryPropertyBag *find(const QString &name) const;
    // Control names in the order of the file (or of creation).
    QStringList controlNames() const;
    void removeControl(const QString &name);
    void clear() { m_controls.clear(); }

    // The file text for the bags, and the bags read back from a text; what
    // load and save use.
    QString toText() const;
    void fromText(const QString &text);

private:
    QString m_path;
    std::vector<std::pair<QString, std::unique_ptr<MemoryPropertyBag>>> m_controls;
};

} // namespace com
