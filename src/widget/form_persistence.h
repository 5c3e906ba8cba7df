#pragma once
// A Qt form's article-entry controls kept in a form file. Each
// vokArticuloWidget on the form (at any depth) is stored in the section named
// after its objectName; the host loads and saves the file itself
// (FormStore::load, FormStore::save), so that it decides what a missing file
// means and can keep other controls of the form in the same store.

#include <QWidget>

namespace com {
class FormStore;
}

namespace vokwidget {

// Writes the design-time properties of every control on the form into its
// section, replacing what the section held. A control without an objectName,
// or two controls of one name, cannot be told apart in the file: error 5.
void saveForm(QWidget *form, com::FormStore &store);

// Gives every control on the form its stored properties, or, when the store
// has no section of its name, the properties of a new instance. Errors of a
// stored value reach the caller as vb::Error.
void loadForm(QWidget *form, com::FormStore &store);

} // namespace vokwidget
