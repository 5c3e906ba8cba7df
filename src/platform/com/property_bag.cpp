// Property bags in memory and the form file that keeps them.

#include "property_bag.h"

#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QByteArrayView>
#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace com {

namespace {

constexpr int32_t FileNotFound = 53;
constexpr int32_t PathFileAccessError = 75;
constexpr int32_t InvalidFileFormat = 321;
const QString Source = QStringLiteral("FormStore");

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

QString number(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        default: out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString fontText(const ui::Font &font)
{
    QString out = QStringLiteral("Font ") + quoted(font.name) + QLatin1Char(' ') + number(font.size);
    if (font.bold)
        out += QStringLiteral(" Bold");
    if (font.italic)
        out += QStringLiteral(" Italic");
    if (font.underline)
        out += QStringLiteral(" Underline");
    if (font.strikethrough)
        out += QStringLiteral(" Strikethrough");
    return out;
}

// "Type value" for a Variant; an object has no text form.
QString variantText(const vb::Variant &value, const QString &where)
{
    switch (value.type()) {
    case vb::VarType::Empty: return QStringLiteral("Empty");
    case vb::VarType::Null: return QStringLiteral("Null");
    case vb::VarType::Byte: return QStringLiteral("Byte %1").arg(value.get<uint8_t>());
    case vb::VarType::Integer: return QStringLiteral("Integer %1").arg(value.get<int16_t>());
    case vb::VarType::Long: {
        const int32_t v = value.get<int32_t>();
        if (v < 0)
            return QStringLiteral("Long &H")
                + QStringLiteral("%1").arg(static_cast<uint32_t>(v), 8, 16, QLatin1Char('0')).toUpper();
        return QStringLiteral("Long %1").arg(v);
    }
    case vb::VarType::Double: return QStringLiteral("Double ") + number(value.get<double>());
    case vb::VarType::Boolean: return value.get<bool>() ? QStringLiteral("Boolean True") : QStringLiteral("Boolean False");
    case vb::VarType::String: return QStringLiteral("String ") + quoted(value.get<QString>());
    case vb::VarType::Object: break;
    }
    throw vb::Error(vb::err::TypeMismatch, QStringLiteral("%1: an object cannot be kept in a form file").arg(where),
                    Source);
}

bool validKey(const QString &key)
{
    return !key.isEmpty() && key == key.trimmed() && !key.contains(QLatin1Char('=')) && !key.contains(QLatin1Char('\n'))
        && !key.contains(QLatin1Char('\r')) && !key.startsWith(QLatin1Char('[')) && !key.startsWith(QLatin1Char('#'))
        && !key.startsWith(QLatin1Char(';'));
}

bool validControlName(const QString &name)
{
    return !name.isEmpty() && name == name.trimmed() && !name.contains(QLatin1Char(']'))
        && !name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r'));
}

// Reads the values of one line of a form file; every fault is reported with
// the file and the line.
class LineParser {
public:
    LineParser(const QString &path, int line, QString text) : m_path(path), m_line(line), m_text(std::move(text)) {}

    [[noreturn]] void fail(const QString &what) const
    {
        throw vb::Error(InvalidFileFormat, QStringLiteral("%1, line %2: %3").arg(m_path).arg(m_line).arg(what), Source);
    }

    PropertyBag::Value value()
    {
        const QString type = word();
        if (type.isEmpty())
            fail(QStringLiteral("a value type is missing"));
        PropertyBag::Value result = typed(type);
        skipSpaces();
        if (m_pos < m_text.size())
            fail(QStringLiteral("unexpected text after the value: %1").arg(m_text.mid(m_pos)));
        return result;
    }

private:
    PropertyBag::Value typed(const QString &type)
    {
        if (sameName(type, QStringLiteral("Empty")))
            return vb::Variant();
        if (sameName(type, QStringLiteral("Null")))
            return vb::Variant::null();
        if (sameName(type, QStringLiteral("Byte")))
            return vb::Variant(static_cast<uint8_t>(integer(0, 255, type)));
        if (sameName(type, QStringLiteral("Integer")))
            return vb::Variant(static_cast<int16_t>(integer(-32768, 32767, type)));
        if (sameName(type, QStringLiteral("Long")))
            return vb::Variant(longValue());
        if (sameName(type, QStringLiteral("Double")))
            return vb::Variant(real(type));
        if (sameName(type, QStringLiteral("Boolean"))) {
            const QString w = word();
            if (sameName(w, QStringLiteral("True")))
                return vb::Variant(true);
            if (sameName(w, QStringLiteral("False")))
                return vb::Variant(false);
            fail(QStringLiteral("a Boolean is True or False, not \"%1\"").arg(w));
        }
        if (sameName(type, QStringLiteral("String")))
            return vb::Variant(string());
        if (sameName(type, QStringLiteral("Font")))
            return font();
        fail(QStringLiteral("unknown value type \"%1\"").arg(type));
    }

    void skipSpaces()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    QString word()
    {
        skipSpaces();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !m_text.at(m_pos).isSpace())
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    int64_t integer(int64_t low, int64_t high, const QString &type)
    {
        const QString w = word();
        bool ok = false;
        const qlonglong v = w.toLongLong(&ok, 10);
        if (!ok || v < low || v > high)
            fail(QStringLiteral("\"%1\" is not a %2").arg(w, type));
        return v;
    }

    int32_t longValue()
    {
        const QString w = word();
        bool ok = false;
        if (w.startsWith(QStringLiteral("&H"), Qt::CaseInsensitive)) {
            const QString digits = w.mid(2);
            const uint v = digits.toUInt(&ok, 16);
            if (ok && digits.size() <= 8)
                return static_cast<int32_t>(v);
        } else {
            const qlonglong v = w.toLongLong(&ok, 10);
            if (ok && v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
                return static_cast<int32_t>(v);
        }
        fail(QStringLiteral("\"%1\" is not a Long").arg(w));
    }

    double real(const QString &what)
    {
        const QString w = word();
        bool ok = false;
        const double v = w.toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("\"%1\" is not a %2").arg(w, what));
        return v;
    }

    QString string()
    {
        skipSpaces();
        if (m_pos >= m_text.size() || m_text.at(m_pos) != QLatin1Char('"'))
            fail(QStringLiteral("a String starts with a double quote"));
        ++m_pos;
        QString out;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('"'))
                return out;
            if (c != QLatin1Char('\\')) {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size())
                break;
            switch (m_text.at(m_pos++).unicode()) {
            case '"': out += QLatin1Char('"'); break;
            case '\\': out += QLatin1Char('\\'); break;
            case 'n': out += QLatin1Char('\n'); break;
            case 'r': out += QLatin1Char('\r'); break;
            case 't': out += QLatin1Char('\t'); break;
            default: fail(QStringLiteral("unknown escape \\%1").arg(m_text.at(m_pos - 1)));
            }
        }
        fail(QStringLiteral("a String is not closed"));
    }

    ui::Font font()
    {
        ui::Font f;
        f.name = string();
        f.size = real(QStringLiteral("font size"));
        for (QString w = word(); !w.isEmpty(); w = word()) {
            if (sameName(w, QStringLiteral("Bold")))
                f.bold = true;
            else if (sameName(w, QStringLiteral("Italic")))
                f.italic = true;
            else if (sameName(w, QStringLiteral("Underline")))
                f.underline = true;
            else if (sameName(w, QStringLiteral("Strikethrough")))
                f.strikethrough = true;
            else
                fail(QStringLiteral("unknown font style \"%1\"").arg(w));
        }
        return f;
    }

    const QString &m_path;
    int m_line;
    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace

PropertyBag::~PropertyBag() = default;

bool PropertyBag::sameValue(const vb::Variant &a, const vb::Variant &b)
{
    if (a.type() == b.type())
        return a == b;
    const bool aNumber = a.isNumeric() && a.type() != vb::VarType::Boolean;
    const bool bNumber = b.isNumeric() && b.type() != vb::VarType::Boolean;
    return aNumber && bNumber && vb::CDbl(a) == vb::CDbl(b);
}

vb::Variant PropertyBag::ReadProperty(const QString &name, const vb::Variant &defaultValue) const
{
    const Value *stored = find(name);
    if (!stored)
        return defaultValue;
    if (const auto *variant = std::get_if<vb::Variant>(stored))
        return *variant;
    throw vb::Error::standard(vb::err::TypeMismatch, Source);
}

void PropertyBag::WriteProperty(const QString &name, const vb::Variant &value, const vb::Variant &defaultValue)
{
    if (sameValue(value, defaultValue))
        remove(name);
    else
        store(name, value);
}

ui::Font PropertyBag::ReadFont(const QString &name, const ui::Font &defaultValue) const
{
    const Value *stored = find(name);
    if (!stored)
        return defaultValue;
    if (const auto *font = std::get_if<ui::Font>(stored))
        return *font;
    throw vb::Error::standard(vb::err::TypeMismatch, Source);
}

void PropertyBag::WriteFont(const QString &name, const ui::Font &value, const ui::Font &defaultValue)
{
    if (value == defaultValue)
        remove(name);
    else
        store(name, value);
}

QStringList MemoryPropertyBag::keys() const
{
    QStringList out;
    for (const auto &entry : m_entries)
        out << entry.first;
    return out;
}

const PropertyBag::Value *MemoryPropertyBag::find(const QString &name) const
{
    for (const auto &entry : m_entries)
        if (sameName(entry.first, name))
            return &entry.second;
    return nullptr;
}

void MemoryPropertyBag::store(const QString &name, Value value)
{
    for (auto &entry : m_entries) {
        if (sameName(entry.first, name)) {
            entry.second = std::move(value);
            return;
        }
    }
    m_entries.emplace_back(name, std::move(value));
}

void MemoryPropertyBag::remove(const QString &name)
{
    std::erase_if(m_entries, [&](const Entry &entry) { return sameName(entry.first, name); });
}

FormStore::FormStore(QString path) : m_path(std::move(path)) {}

MemoryPropertyBag &FormStore::control(const QString &name)
{
    for (auto &[controlName, bag] : m_controls)
        if (sameName(controlName, name))
            return *bag;
    m_controls.emplace_back(name, std::make_unique<MemoryPropertyBag>());
    return *m_controls.back().second;
}

const MemoryPropertyBag *FormStore::find(const QString &name) const
{
    for (const auto &[controlName, bag] : m_controls)
        if (sameName(controlName, name))
            return bag.get();
    return nullptr;
}

QStringList FormStore::controlNames() const
{
    QStringList out;
    for (const auto &entry : m_controls)
        out << entry.first;
    return out;
}

void FormStore::removeControl(const QString &name)
{
    std::erase_if(m_controls, [&](const auto &entry) { return sameName(entry.first, name); });
}

QString FormStore::toText() const
{
    QString out = QStringLiteral("# vokBArticulo form file\n");
    for (const auto &[name, bag] : m_controls) {
        if (!validControlName(name))
            throw vb::Error(vb::err::InvalidPropertyValue,
                            QStringLiteral("\"%1\" cannot name a control in a form file").arg(name), Source);
        out += QStringLiteral("\n[%1]\n").arg(name);
        for (const auto &[key, value] : bag->entries()) {
            const QString where = name + QLatin1Char('.') + key;
            if (!validKey(key))
                throw vb::Error(vb::err::InvalidPropertyValue,
                                QStringLiteral("\"%1\" cannot be a key in a form file").arg(where), Source);
            const QString text = std::holds_alternative<ui::Font>(value)
                ? fontText(std::get<ui::Font>(value))
                : variantText(std::get<vb::Variant>(value), where);
            out += key + QStringLiteral(" = ") + text + QLatin1Char('\n');
        }
    }
    return out;
}

void FormStore::fromText(const QString &text)
{
    std::vector<std::pair<QString, std::unique_ptr<MemoryPropertyBag>>> controls;
    MemoryPropertyBag *current = nullptr;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        LineParser parser(m_path, static_cast<int>(i + 1), line);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                parser.fail(QStringLiteral("a control name is closed by ']'"));
            const QString name = line.mid(1, line.size() - 2).trimmed();
            if (name.isEmpty())
                parser.fail(QStringLiteral("a control name is missing"));
            // A name the store could not write back would make the form
            // impossible to save once loaded.
            if (!validControlName(name))
                parser.fail(QStringLiteral("\"%1\" cannot name a control").arg(name));
            for (const auto &entry : controls)
                if (sameName(entry.first, name))
                    parser.fail(QStringLiteral("control \"%1\" appears twice").arg(name));
            controls.emplace_back(name, std::make_unique<MemoryPropertyBag>());
            current = controls.back().second.get();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            parser.fail(QStringLiteral("expected \"Key = Type value\""));
        const QString key = line.left(equals).trimmed();
        if (key.isEmpty())
            parser.fail(QStringLiteral("a key is missing"));
        if (!validKey(key))
            parser.fail(QStringLiteral("\"%1\" cannot be a key").arg(key));
        if (!current)
            parser.fail(QStringLiteral("key \"%1\" comes before any [control]").arg(key));
        if (current->contains(key))
            parser.fail(QStringLiteral("key \"%1\" appears twice").arg(key));
        LineParser valueParser(m_path, static_cast<int>(i + 1), line.mid(equals + 1));
        current->store(key, valueParser.value());
    }
    m_controls = std::move(controls);
}

void FormStore::load()
{
    QFile file(m_path);
    if (!file.exists())
        throw vb::Error(FileNotFound, QStringLiteral("File not found: %1").arg(m_path), Source);
    if (!file.open(QIODevice::ReadOnly))
        throw vb::Error(PathFileAccessError, QStringLiteral("%1: %2").arg(m_path, file.errorString()), Source);
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    int line = 1;
    for (const QByteArray &raw : bytes.split('\n')) {
        if (!QByteArrayView(raw).isValidUtf8())
            throw vb::Error(InvalidFileFormat, QStringLiteral("%1, line %2: not UTF-8 text").arg(m_path).arg(line),
                            Source);
        ++line;
    }
    fromText(QString::fromUtf8(bytes));
}

void FormStore::save() const
{
    const QByteArray bytes = toText().toUtf8();
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw vb::Error(PathFileAccessError, QStringLiteral("%1: %2").arg(m_path, file.errorString()), Source);
}

} // namespace com
