#pragma once
// Keys typed into the demo as a cashier would type them, for walkthroughs and
// screenshots: plain characters stand for themselves, braces name a key as the
// platform's SendKeys does ("{ENTER}", "{TAB}", "{ESC}", "{F4}", "{F12}",
// "{DOWN}", "{UP}", "{BS}", "{{}" and "{}}" for the braces themselves), and
// "{WAIT}" pauses half a second so that a window can open.

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace demo {

struct ScriptedKey {
    int key = 0;         // Qt::Key, 0 for a pause
    QString text;        // what the key types, empty for none
};

// The keys of a script; nothing when a brace names no key (why says which).
std::optional<std::vector<ScriptedKey>> parseKeyScript(const QString &script, QString *why);

// Sends the keys one by one to the widget that has the focus when each key's
// turn comes (a modal window that opened meanwhile gets the following keys),
// then emits finished.
class KeyScriptPlayer : public QObject {
    Q_OBJECT

public:
    explicit KeyScriptPlayer(std::vector<ScriptedKey> keys, QObject *parent = nullptr);
    void start();

signals:
    void finished();

private:
    void next();

    std::vector<ScriptedKey> m_keys;
    size_t m_position = 0;
};

} // namespace demo
