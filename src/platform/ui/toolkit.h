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
    virtual std::unique_ptr<TextBox> createTextBox(UserControl &parent) = 0;
    virtual std::unique_ptr<CheckBox> createCheckBox(UserControl &parent) = 0;
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
