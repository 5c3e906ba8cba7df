#include "registry.h"

#include "platform/vb/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

namespace com {

namespace {

constexpr QLatin1StringView Header("VOK Registry 1");

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Callers write "HKEY_CLASSES_ROOT\CLSID\" and "HKEY_CLASSES_ROOT\CLSID" for
// the same key.
QString normalizedKey(const QString &key)
{
    qsizetype begin = 0;
    qsizetype end = key.size();
    while (begin < end && key[begin] == u'\\')
        ++begin;
    while (end > begin && key[end - 1] == u'\\')
        --end;
    return key.mid(begin, end - begin);
}

bool isBelow(const QString &key, const QString &ancestor)
{
    return key.size() > ancestor.size() && key[ancestor.size()] == u'\\'
        && key.startsWith(ancestor, Qt::CaseInsensitive);
}

vb::Error accessError(const QString &path, const QString &reason)
{
    return vb::Error(Registry::FileAccessError,
                     QStringLiteral("Path/File access error: %1: %2").arg(QDir::toNativeSeparators(path), reason));
}

QString quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1StringView("\\\\"); break;
        case u'"': out += QLatin1StringView("\\\""); break;
        case u'\n': out += QLatin1StringView("\\n"); break;
        case u'\r': out += QLatin1StringView("\\r"); break;
        default: out += c;
        }
    }
    out += u'"';
    return out;
}

// Reads one registry file. Lines are numbered from 1 for the error messages.
class Parser {
public:
    using Values = std::vector<std::pair<QString, QString>>;
    using Keys = std::vector<std::pair<QString, Values>>;

    explicit Parser(const QString &path) : m_path(path) {}

    Keys parse(const QByteArray &data)
    {
        if (data.trimmed().isEmpty())
            return {};
        const QList<QByteArray> lines = data.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            m_lineNumber = i + 1;
            parseLine(decode(lines[i], i == 0).trimmed());
        }
        return std::move(m_keys);
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw vb::Error(Registry::InvalidFileFormat,
                        QStringLiteral("Invalid file format: %1, line %2: %3")
                            .arg(QDir::toNativeSeparators(m_path))
                            .arg(m_lineNumber)
                            .arg(what));
    }

    QString decode(QByteArray line, bool first) const
    {
        // A file saved by an editor may begin with a byte order mark.
        if (first && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(line);
        if (decoder.hasError())
            fail(QStringLiteral("the text is not UTF-8"));
        return text;
    }

    void parseLine(const QString &line)
    {
        if (m_lineNumber == 1) {
            if (line != Header)
                fail(QStringLiteral("expected the header \"%1\"").arg(Header));
            return;
        }
        if (line.isEmpty() || line.startsWith(u';'))
            return;
        if (line.startsWith(u'['))
            return parseSection(line);
        if (line.startsWith(u'@') || line.startsWith(u'"'))
            return parseValue(line);
        fail(QStringLiteral("expected a [key] or a value"));
    }

    void parseSection(const QString &line)
    {
        if (!line.endsWith(u']'))
            fail(QStringLiteral("the key has no closing ']'"));
        const QString key = normalizedKey(line.mid(1, line.size() - 2));
        if (key.isEmpty())
            fail(QStringLiteral("the key is empty"));
        const auto found = std::find_if(m_keys.begin(), m_keys.end(),
                                        [&](const auto &entry) { return sameName(entry.first, key); });
        if (found != m_keys.end()) {
            m_current = found - m_keys.begin();
        } else {
            m_current = static_cast<qsizetype>(m_keys.size());
            m_keys.emplace_back(key, Values{});
        }
    }

    void parseValue(const QString &line)
    {
        if (m_current < 0)
            fail(QStringLiteral("a value before the first [key]"));
        qsizetype pos = 0;
        QString name;
        if (line[0] == u'@')
            pos = 1;
        else
            name = parseQuoted(line, pos);
        skipSpaces(line, pos);
        if (pos >= line.size() || line[pos] != u'=')
            fail(QStringLiteral("expected '=' after the value name"));
        ++pos;
        skipSpaces(line, pos);
        if (pos >= line.size() || line[pos] != u'"')
            fail(QStringLiteral("expected a quoted value"));
        QString value = parseQuoted(line, pos);
        if (pos != line.size())
            fail(QStringLiteral("unexpected text after the value"));

        Values &values = m_keys[static_cast<size_t>(m_current)].second;
        const auto found = std::find_if(values.begin(), values.end(),
                                        [&](const auto &entry) { return sameName(entry.first, name); });
        if (found != values.end())
            found->second = std::move(value);
        else
            values.emplace_back(std::move(name), std::move(value));
    }

    // Reads the quoted string starting at pos; leaves pos after the closing quote.
    QString parseQuoted(const QString &line, qsizetype &pos) const
    {
        QString text;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line[pos];
            if (c == u'"') {
                ++pos;
                return text;
            }
            if (c != u'\\') {
                text += c;
                continue;
            }
            if (++pos >= line.size())
                break;
            switch (line[pos].unicode()) {
            case u'\\': text += u'\\'; break;
            case u'"': text += u'"'; break;
            case u'n': text += u'\n'; break;
            case u'r': text += u'\r'; break;
            default: fail(QStringLiteral("unknown escape '\\%1'").arg(line[pos]));
            }
        }
        fail(QStringLiteral("the string has no closing quote"));
    }

    static void skipSpaces(const QString &line, qsizetype &pos)
    {
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
    }

    QString m_path;
    qsizetype m_lineNumber = 0;
    qsizetype m_current = -1;
    Keys m_keys;
};

// A file as it stands on disk: changes are saved by replacing the file, so a
// new file, or one written over in place, differs in one of these.
struct FileStamp {
    dev_t device;
    ino_t inode;
    off_t size;
    timespec modified, changed;

    static std::optional<FileStamp> of(const QString &path)
    {
        struct stat status {};
        if (::stat(QFile::encodeName(path).constData(), &status) != 0)
            return std::nullopt;
        return FileStamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
    }
    bool operator==(const FileStamp &other) const
    {
        const auto same = [](const timespec &a, const timespec &b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return device == other.device && inode == other.inode && size == other.size &&
               same(modified, other.modified) && same(changed, other.changed);
    }
};

// The registry files read by this process, as parsed, while they stay as
// they were read. Creating a component reads the registry twice (its class,
// then its library), and the control creates the host's utility component at
// every lookup at the till: parsing the file each time cost a fifth of a
// lookup by code.
class ReadFiles {
public:
    std::optional<Parser::Keys> find(const QString &path, const FileStamp &stamp) const
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_files.find(path);
        if (found == m_files.end() || !(found->second.first == stamp))
            return std::nullopt;
        return found->second.second;
    }
    void keep(const QString &path, const FileStamp &stamp, const Parser::Keys &keys)
    {
        const std::lock_guard lock(m_mutex);
        m_files.insert_or_assign(path, std::pair(stamp, keys));
    }

private:
    mutable std::mutex m_mutex;
    std::map<QString, std::pair<FileStamp, Parser::Keys>> m_files;
};

ReadFiles &readFiles()
{
    static ReadFiles files;
    return files;
}

} // namespace

QString Registry::defaultPath()
{
    const QString explicitPath = qEnvironmentVariable("VOK_REGISTRY");
    if (!explicitPath.isEmpty())
        return explicitPath;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) {
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            home = QDir::homePath();
        config = home + QStringLiteral("/.config");
    }
    return config + QStringLiteral("/vok/registry.reg");
}

QString Registry::systemPath()
{
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    for (const QString &dir : dirs.split(u':', Qt::SkipEmptyParts)) {
        const QString path = dir + QStringLiteral("/vok/registry.reg");
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}

Registry::Registry() : m_path(defaultPath())
{
    // $VOK_REGISTRY names the one registry in force: no fallback behind it.
    if (qEnvironmentVariableIsEmpty("VOK_REGISTRY"))
        m_fallback = systemPath();
    load();
}

Registry::Registry(QString path) : m_path(std::move(path))
{
    load();
}

void Registry::load()
{
    QString source = m_path;
    if (!QFileInfo::exists(source) && !m_fallback.isEmpty())
        source = m_fallback;
    // A file that is not there is an empty registry.
    const std::optional<FileStamp> stamp = FileStamp::of(source);
    if (!stamp) {
        m_keys.clear();
        return;
    }
    if (std::optional<Parser::Keys> kept = readFiles().find(source, *stamp)) {
        m_keys = std::move(*kept);
        return;
    }
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        throw accessError(source, file.errorString());
    // Parse into a fresh table, so that a failed read leaves this one intact.
    m_keys = Parser(source).parse(file.readAll());
    readFiles().keep(source, *stamp, m_keys);
}

void Registry::save() const
{
    QString text = Header + QStringLiteral("\n");
    for (const auto &[key, values] : m_keys) {
        text += QStringLiteral("\n[") + key + QStringLiteral("]\n");
        for (const auto &[name, value] : values)
            text += (name.isEmpty() ? QStringLiteral("@") : quoted(name)) + u'=' + quoted(value) + u'\n';
    }

    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder))
        throw accessError(m_path, QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        throw accessError(m_path, file.errorString());
    const QByteArray data = text.toUtf8();
    if (file.write(data) != data.size() || !file.commit())
        throw accessError(m_path, file.errorString());
}

std::optional<QString> Registry::value(const QString &key, const QString &name) const
{
    const QString wanted = normalizedKey(key);
    for (const auto &[storedKey, values] : m_keys) {
        if (!sameName(storedKey, wanted))
            continue;
        for (const auto &[storedName, value] : values) {
            if (sameName(storedName, name))
                return value;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

void Registry::setValue(const QString &key, const QString &name, const QString &value)
{
    const QString wanted = normalizedKey(key);
    // A key is written on a line of its own; it cannot hold a line break.
    if (wanted.isEmpty() || wanted.contains(u'\n') || wanted.contains(u'\r'))
        throw vb::Error::standard(vb::err::InvalidProcedureCall);

    load();
    auto keyIt = std::find_if(m_keys.begin(), m_keys.end(),
                              [&](const auto &entry) { return sameName(entry.first, wanted); });
    if (keyIt == m_keys.end()) {
        m_keys.emplace_back(wanted, Values{});
        keyIt = std::prev(m_keys.end());
    }
    Values &values = keyIt->second;
    const auto nameIt = std::find_if(values.begin(), values.end(),
                                     [&](const auto &entry) { return sameName(entry.first, name); });
    // A host registers its components at every start: a value that holds
    // already leaves the file as it is, unwritten.
    if (nameIt != values.end() && nameIt->second == value)
        return;
    if (nameIt != values.end())
        nameIt->second = value;
    else
        values.emplace_back(name, value);
    save();
}

void Registry::removeKey(const QString &key)
{
    const QString doomed = normalizedKey(key);
    if (doomed.isEmpty())
        throw vb::Error::standard(vb::err::InvalidProcedureCall);

    load();
    const auto removed = std::erase_if(m_keys, [&](const auto &entry) {
        return sameName(entry.first, doomed) || isBelow(entry.first, doomed);
    });
    // Nothing to remove: leave the file (or its absence) alone.
    if (removed > 0)
        save();
}

QStringList Registry::subKeys(const QString &key) const
{
    const QString parent = normalizedKey(key);
    QStringList children;
    for (const auto &[storedKey, values] : m_keys) {
        QString rest;
        if (parent.isEmpty())
            rest = storedKey;
        else if (isBelow(storedKey, parent))
            rest = storedKey.mid(parent.size() + 1);
        else
            continue;
        // A deeper key implies the keys on its way down.
        const QString child = rest.section(u'\\', 0, 0);
        if (!child.isEmpty() && !children.contains(child, Qt::CaseInsensitive))
            children.append(child);
    }
    return children;
}

} // namespace com
