// The host developer's guide names the widget's Qt members in one table; the
// table and the widget must not drift apart, in either direction.

#include "widget/vok_articulo_widget.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QRegularExpression>
#include <QStringList>

namespace {

// "name kind" for every row of the guide's member table.
QStringList documentedMembers()
{
    QFile guide(QStringLiteral(VOK_GUIDE_FILE));
    if (!guide.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString text = QString::fromUtf8(guide.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("\n## The widget's members"));
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + 1);
    if (start < 0)
        return {};
    static const QRegularExpression row(QStringLiteral(R"(^\| `(\w+)[^`]*` \| ([a-z -]+) \|)"),
                                        QRegularExpression::MultilineOption);
    QStringList members;
    for (const auto &match : row.globalMatch(text.mid(start, end < 0 ? -1 : end - start)))
        members << match.captured(1) + u' ' + match.captured(2);
    return members;
}

// The same "name kind" for the widget's own members, as Designer and a
// QML or scripting host see them through the meta-object.
QStringList widgetMembers()
{
    const QMetaObject &meta = vokArticuloWidget::staticMetaObject;
    QStringList members;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        members << QString::fromLatin1(property.name())
                       + (property.isWritable() ? QStringLiteral(" property") : QStringLiteral(" read-only property"));
    }
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        if (method.access() != QMetaMethod::Public)
            continue;
        const QString name = QString::fromLatin1(method.name());
        const QString member =
            name + (method.methodType() == QMetaMethod::Signal ? QStringLiteral(" signal") : QStringLiteral(" method"));
        if (!members.contains(member))
            members << member; // one row for the overloads of a method
    }
    return members;
}

TEST(GuideMembersTest, EveryDocumentedMemberExistsWithItsKind)
{
    const QStringList documented = documentedMembers();
    ASSERT_GT(documented.size(), 10) << "the guide's member table was not found in " VOK_GUIDE_FILE;
    const QStringList actual = widgetMembers();
    for (const QString &member : documented)
        EXPECT_TRUE(actual.contains(member)) << "the guide documents " << member.toStdString()
                                             << ", which the widget does not have";
}

TEST(GuideMembersTest, EveryMemberOfTheWidgetIsDocumented)
{
    const QStringList documented = documentedMembers();
    for (const QString &member : widgetMembers())
        EXPECT_TRUE(documented.contains(member)) << member.toStdString() << " is missing from the guide's member table";
}

} // namespace
