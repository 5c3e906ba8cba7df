// Handlers of the text box and the check box.

#include "vok_t_articulo.h"

// Every change of the text, typed or assigned. The event comes first, so that a
// host reading ID during the first change after a choice still sees the article
// being abandoned.
void vokTArticulo::tArticuloChange()
{
    raise([](vokTArticuloEvents &sink) { sink.Change(); });
    if (mlngID > 0) {
        LimpiarArticulo();
        MostrarVariedad(1);
    }
}
