#pragma once
// frmFoto: the article detail view. A modal window that shows one article, or
// one variety of it, with its code and name, its current unit price, its
// description and its photograph, read from the host's database in one
// statement. The opener fills the three public variables, then shows it; a
// new object is used for every opening.

#include "platform/ui/window.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace rdo {
class rdoConnection;
}

namespace detail {

class frmFoto {
public:
    // Creates the window and its elements, with their design values, on the
    // thread's toolkit. Nothing is read until the window loads.
    frmFoto();
    ~frmFoto();
    frmFoto(const frmFoto &) = delete;
    frmFoto &operator=(const frmFoto &) = delete;

    // Filled by the opener before Show.
    std::shared_ptr<rdo::rdoConnection> mrdoCBase;
    int32_t mlngArticulo = 0;
    int16_t mintVariedad = 0;

    // Loads the window (which reads the article and places the window on the
    // screen), shows it modally and returns once it has been closed.
    void Show();

    // The statement that reads an article (and variety) for the view.
    static QString SQLDetalle(int32_t articulo, int16_t variedad);

    // The photograph shown, as the host's database names its file (the path
    // with or without "TPV\"); empty when the view shows no picture.
    QString fotoCargada() const { return m_fotoCargada; }

    ui::Form &form() const { return *m_form; }
    ui::PictureBox &picFoto() const { return *m_picFoto; }
    ui::Label &lblTitulo() const { return *m_lblTitulo; }
    ui::Label &lblCerrar() const { return *m_lblCerrar; }
    ui::Label &lblCaracteristicas() const { return *m_lblCaracteristicas; }
    ui::Label &lblPrecio() const { return *m_lblPrecio; }
    ui::Image &imgArticulo() const { return *m_imgArticulo; }

private:
    void Form_Load();
    void Form_Resize();
    void Form_KeyDown(int16_t &KeyCode, int16_t &Shift);
    void lblCerrar_Click();
    void CargarDetalle();
    // Loads the photograph from a host path; true when the image holds one.
    bool cargarFoto(const QString &ruta);

    // Containers before what they hold, so that the elements go first.
    std::unique_ptr<ui::Form> m_form;
    std::unique_ptr<ui::PictureBox> m_picFoto;
    std::unique_ptr<ui::Label> m_lblTitulo;
    std::unique_ptr<ui::Label> m_lblCerrar;
    std::unique_ptr<ui::Label> m_lblCaracteristicas;
    std::unique_ptr<ui::Label> m_lblPrecio;
    std::unique_ptr<ui::Image> m_imgArticulo;
    QString m_fotoCargada;
};

// Told each time a detail view of this thread has loaded, just before it is
// shown: a host that logs its session (the console host) listens here.
// Pass an empty function to stop listening.
void setDetailLoadedListener(std::function<void(const frmFoto &)> listener);

} // namespace detail
