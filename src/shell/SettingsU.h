#pragma once
// The registry side of the settings that does not depend on the main window.
#include "base/Registry.h"

namespace lexmora {

// Writes the default of every settings value that does not exist in the current key of reg:
// the strings, then the integers, then the booleans, each table in its order. A value that
// exists is left as it is, whatever its type. Raises ERegistryException
// "Failed to set data for '<name>'" at the first write that fails (with no current key, the
// first missing value, "Dict").
void CreateMissingSettings(Registry& reg);

}  // namespace lexmora
