#pragma once
// The library as a whole: the count of its live objects and server locks
// (what DllCanUnloadNow answers from) and the file it was loaded from.

#include "platform/com/object.h"

#include <QString>

namespace component {

com::Module &libraryModule();
// The file of the loaded library, recorded when it is loaded.
QString libraryPath();

} // namespace component
