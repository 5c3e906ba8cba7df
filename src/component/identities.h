#pragma once
// The identities of the library vokArtBuscar: its type library, its one class
// and the two interface histories. They are fixed for a release: hosts built
// against the library store them, so a build that changed any of them would
// break every form that holds the control. A new release appends its own
// identities to the end of both histories and leaves the others as they are.

#include "platform/com/guid.h"

#include <array>

namespace component {

inline constexpr int HistoryLength = 16;
using IdentityHistory = std::array<com::Guid, HistoryLength>;

extern const com::Guid LIBID_vokArtBuscar;
extern const com::Guid CLSID_vokTArticulo;
// The default interface _vokTArticulo of releases 1.0 to 1.14, then the
// current one (1.15) last.
extern const IdentityHistory IID_vokTArticuloHistory;
// The event interface __vokTArticulo, in the same order.
extern const IdentityHistory DIID_vokTArticuloEventsHistory;

inline const com::Guid &IID_vokTArticulo()
{
    return IID_vokTArticuloHistory.back();
}
inline const com::Guid &DIID_vokTArticuloEvents()
{
    return DIID_vokTArticuloEventsHistory.back();
}

} // namespace component
