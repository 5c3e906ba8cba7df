#pragma once
// The control's configuration as a host developer tries it out: every
// design-time property (and the run-time settings a host gives at start)
// editable live, saved with the form file, and a log of every event the
// control raises with its arguments.

#include <QWidget>

#include <functional>

class QFormLayout;
class QPlainTextEdit;
class vokArticuloWidget;

namespace demo {

class ControlSettingsForm : public QWidget {
    Q_OBJECT

public:
    // saveForm writes the form file; switchLanguage applies a host language
    // (1 Spanish, 2 English) and reconnects the control.
    ControlSettingsForm(vokArticuloWidget &control, std::function<void()> saveForm,
                        std::function<void(int idioma)> switchLanguage, int idioma, QWidget *parent = nullptr);

    // Reads every editor back from the control (after loading a form file).
    void refresh();
    void log(const QString &line);

private:
    void addEditor(const char *property);
    void apply(const char *property, const QVariant &value);

    vokArticuloWidget &m_control;
    QFormLayout *m_properties = nullptr;
    QPlainTextEdit *m_events = nullptr;
    std::vector<std::function<void()>> m_refreshers;
};

} // namespace demo
