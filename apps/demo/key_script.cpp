#include "key_script.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <map>

namespace demo {

namespace {

constexpr int KeyInterval = 60;   // ms between keys, about a fast typist
constexpr int PauseLength = 500;  // ms of a {WAIT}

const std::map<QString, ScriptedKey> &namedKeys()
{
    static const std::map<QString, ScriptedKey> keys{
        {"ENTER", {Qt::Key_Return, "\r"}}, {"TAB", {Qt::Key_Tab, "\t"}},  {"ESC", {Qt::Key_Escape, "\x1b"}},
        {"F4", {Qt::Key_F4, {}}},          {"F12", {Qt::Key_F12, {}}},     {"DOWN", {Qt::Key_Down, {}}},
        {"UP", {Qt::Key_Up, {}}},          {"BS", {Qt::Key_Backspace, "\b"}}, {"WAIT", {0, {}}},
        {"{", {Qt::Key_BraceLeft, "{"}},   {"}", {Qt::Key_BraceRight, "}"}},
    };
    return keys;
}

} // namespace

std::optional<std::vector<ScriptedKey>> parseKeyScript(const QString &script, QString *why)
{
    std::vector<ScriptedKey> keys;
    for (qsizetype i = 0; i < script.size(); ++i) {
        if (script[i] != u'{') {
            // Qt's key codes of the Latin-1 characters are their upper-case code points.
            keys.push_back({script[i].toUpper().unicode(), QString(script[i])});
            continue;
        }
        // "{}}" names the closing brace: the name may itself be "}".
        const qsizetype close = script.indexOf(u'}', i + 2);
        const auto found = close < 0 ? namedKeys().end() : namedKeys().find(script.mid(i + 1, close - i - 1).toUpper());
        if (found == namedKeys().end()) {
            *why = QStringLiteral("no key named at position %1 of the key script").arg(i + 1);
            return std::nullopt;
        }
        keys.push_back(found->second);
        i = close;
    }
    return keys;
}

KeyScriptPlayer::KeyScriptPlayer(std::vector<ScriptedKey> keys, QObject *parent)
    : QObject(parent), m_keys(std::move(keys))
{
}

void KeyScriptPlayer::start()
{
    QTimer::singleShot(KeyInterval, this, &KeyScriptPlayer::next);
}

void KeyScriptPlayer::next()
{
    if (m_position == m_keys.size()) {
        emit finished();
        return;
    }
    const ScriptedKey &key = m_keys[m_position++];
    if (key.key == 0) {
        QTimer::singleShot(PauseLength, this, &KeyScriptPlayer::next);
        return;
    }
    // The next key is due before this one is delivered: a key that opens a
    // modal window returns only once the window has closed, and the keys
    // after it must reach the window from its own loop.
    QTimer::singleShot(KeyInterval, this, &KeyScriptPlayer::next);
    if (QWidget *target = QApplication::focusWidget()) {
        QKeyEvent press(QEvent::KeyPress, key.key, Qt::NoModifier, key.text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key.key, Qt::NoModifier, key.text);
        if (target == QApplication::focusWidget())
            QApplication::sendEvent(target, &release);
    }
}

} // namespace demo
