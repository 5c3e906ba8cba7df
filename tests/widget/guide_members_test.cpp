// The host developer's guide names the widget's Qt members in one table; the
// table and the widget must not drift apart, in either direction.

#include "widget/vok_articulo_widget.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QRegularExpression>

namespace {

TEST(GuideMembersTest, TheTableNamesExactlyTheWidgetsMembersWithTheirKinds)
{
    QFile guide(QStringLiteral(VOK_GUIDE_FILE));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(guide.readAll());
    const qsizetype start = text.indexOf(QStringLiteral("\n## The widget's members"));
    static const QRegularExpression row(QStringLiteral(R"(^\| `(\w+)[^`]*` \| ([a-z -]+) \|)"),
                                        QRegularExpression::MultilineOption);
    QStringList documented; // "name kind"
    for (const auto &match : row.globalMatch(text.mid(start, text.indexOf("\n## ", start + 1) - start)))
        documented << match.captured(1) + u' ' + match.captured(2);

    const QMetaObject &meta = vokArticuloWidget::staticMetaObject;
    QStringList actual;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        actual << QString::fromLatin1(meta.property(i).name())
                      + (meta.property(i).isWritable() ? " property" : " read-only property");
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        const QString member = QString::fromLatin1(method.name())
                               + (method.methodType() == QMetaMethod::Signal ? " signal" : " method");
        if (method.access() == QMetaMethod::Public && !actual.contains(member))
            actual << member; // one row for the overloads of a method
    }
    documented.sort();
    actual.sort();
    EXPECT_EQ(documented.join(u'\n').toStdString(), actual.join(u'\n').toStdString()) << "documented, then the widget's";
}

} // namespace
