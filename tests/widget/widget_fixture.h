#pragma once
// A host form on the Qt toolkit: the toolkit is installed for the test and
// given back afterwards, so that the tests on the headless toolkit that run
// in the same program find theirs.

#include "widget/vok_articulo_widget.h"

#include "platform/ui/qt/qt_toolkit.h"

#include <gtest/gtest.h>

#include <QMetaProperty>
#include <QStringList>

class QtFormFixture : public ::testing::Test {
protected:
    void SetUp() override { ui::setToolkit(&toolkit); }
    void TearDown() override
    {
        delete form;
        ui::setToolkit(nullptr);
    }

    // The properties a form designer offers, which are those kept with the form.
    static QStringList designTimeProperties()
    {
        QStringList names;
        const QMetaObject &meta = vokArticuloWidget::staticMetaObject;
        for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
            if (meta.property(i).isDesignable())
                names << QString::fromLatin1(meta.property(i).name());
        return names;
    }

    ui::QtToolkit toolkit;
    QWidget *form = new QWidget;
};
