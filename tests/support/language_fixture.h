#pragma once
// A thread with the host components registered and a settings file of its own,
// plus a language component of the test's own that records what the library
// asks of it.

#include "qt_printers.h"
#include "scoped_env.h"

#include "platform/com/object.h"
#include "platform/ui/headless/headless_toolkit.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>

namespace vok::test {

class RecordingLanguage final : public com::AutomationObject {
public:
    RecordingLanguage();

    QString appName;
    vb::Variant secondLanguage;
    std::vector<vb::Variant> requests;
    // What resLoad answers; by default "texto <n>".
    std::function<vb::Variant(int32_t)> answer;
};

class LanguageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static void writeSettings(const QByteArray &content);
    // Registers a recording language component under the identifier; the
    // objects it creates are collected in `created`.
    void provideLanguage(const QString &progId);
    ui::HeadlessToolkit &toolkit();

    std::vector<std::shared_ptr<RecordingLanguage>> created;

private:
    QStringList m_provided;
};

} // namespace vok::test
