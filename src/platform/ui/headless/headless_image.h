#pragma once
// An image without a display: the picture file it loaded.

#include "headless_window.h"

namespace ui {

class HeadlessImage final : public HeadlessWindow<Image> {
public:
    using HeadlessWindow::HeadlessWindow;

    void loadPicture(const QString &path) override;
    int32_t pictureHandle() const override { return m_handle; }
    // The file of the picture held, "" when none.
    QString loadedPath() const { return m_path; }

private:
    int32_t m_handle = 0;
    QString m_path;
};

} // namespace ui
