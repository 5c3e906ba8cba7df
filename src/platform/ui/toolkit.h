#pragma once
// The toolkit that creates windows. Each user-interface thread has one in force:
// the headless toolkit unless a host installed another (the Qt toolkit).

#include "item_list.h"
#include "window.h"

#include <memory>

namespace ui {

class Toolkit {
public:
    virtual ~Toolkit();
    virtual std::unique_ptr<UserControl> createUserControl() = 0;
    virtual std::unique_ptr<TextBox> createTextBox(Container &parent) = 0;
    virtual std::unique_ptr<CheckBox> createCheckBox(Container &parent) = 0;
    // A new top-level window, not yet loaded nor shown, and what goes on it.
    // A container must outlive the windows created in it.
    virtual std::unique_ptr<Form> createForm() = 0;
    virtual std::unique_ptr<Label> createLabel(Container &parent) = 0;
    virtual std::unique_ptr<ComboBox> createComboBox(Container &parent) = 0;
    virtual std::unique_ptr<Button> createButton(Container &parent) = 0;
    virtual std::unique_ptr<PictureBox> createPictureBox(Container &parent) = 0;
    virtual std::unique_ptr<Image> createImage(Container &parent) = 0;
    virtual Screen &screen() = 0;

    // The platform's message box: a prompt, a style (buttons plus icon, e.g. 16
    // critical, 64 information) and a title. Returns the button chosen (1 = OK).
    virtual int16_t messageBox(const QString &prompt, int16_t style, const QString &title) = 0;

    // Makes owner the owner of the top-level window hWnd (0 = no owner) and
    // returns the previous owner; 0 when hWnd names no window of this toolkit.
    virtual int32_t setWindowOwner(int32_t hWnd, int32_t owner) = 0;

    // Shows the host's item list modally over rows read from source and
    // returns the row the user chose, or nothing when the list was closed.
    virtual ItemChoice showItemList(const ItemListLayout &layout, RowSource &rows) = 0;

    // The platform's SendKeys "{TAB}": one Tab keystroke to the active window,
    // so the focus moves on from the control that has it in its tab order.
    virtual void sendTab() = 0;

    // Lets the window messages that are waiting run once, as the platform's
    // DoEvents does after a modal window closes.
    virtual void processPendingMessages() = 0;

    // Told after every run of the host's item list, with or without a window;
    // a toolkit that logs or scripts the session listens here.
    virtual void itemListRan(const ItemListReport &report) { (void)report; }
};

Toolkit &toolkit();
// Installs a toolkit for the calling thread; nullptr returns to the headless one.
// The caller keeps ownership and must outlive every window it creates.
void setToolkit(Toolkit *toolkit);

} // namespace ui
