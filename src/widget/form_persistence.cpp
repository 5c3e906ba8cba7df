#include "form_persistence.h"

#include "vok_articulo_widget.h"

#include "platform/com/property_bag.h"
#include "platform/vb/conversions.h"
#include "platform/vb/error.h"

#include <QSet>

namespace vokwidget {

namespace {

// The widget's own property, kept beside the control's in its section.
const QString SugerenciasKey = QStringLiteral("Sugerencias");

// The controls of the form with the names they are stored under; names are
// compared as the form file compares them, without regard to case.
QList<vokArticuloWidget *> storedControls(QWidget *form)
{
    const QList<vokArticuloWidget *> controls = form->findChildren<vokArticuloWidget *>();
    QSet<QString> names;
    for (const vokArticuloWidget *control : controls) {
        const QString name = control->objectName();
        if (name.isEmpty())
            throw vb::Error(vb::err::InvalidProcedureCall,
                            QStringLiteral("A control on form %1 has no name").arg(form->objectName()));
        if (names.contains(name.toLower()))
            throw vb::Error(vb::err::InvalidProcedureCall,
                            QStringLiteral("Two controls on form %1 are named %2").arg(form->objectName(), name));
        names.insert(name.toLower());
    }
    return controls;
}

} // namespace

void saveForm(QWidget *form, com::FormStore &store)
{
    for (vokArticuloWidget *control : storedControls(form)) {
        com::MemoryPropertyBag &bag = store.control(control->objectName());
        bag.clear();
        control->control().WriteProperties(bag);
        bag.WriteProperty(SugerenciasKey, control->Sugerencias(), false);
    }
}

void loadForm(QWidget *form, com::FormStore &store)
{
    for (vokArticuloWidget *control : storedControls(form)) {
        if (const com::MemoryPropertyBag *bag = store.find(control->objectName())) {
            control->control().ReadProperties(store.control(control->objectName()));
            control->setSugerencias(vb::CBool(bag->ReadProperty(SugerenciasKey, false)));
        } else {
            control->control().InitProperties();
            control->setSugerencias(false);
        }
    }
}

} // namespace vokwidget
