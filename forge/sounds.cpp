#include "forge.h"

namespace forge {

// Not written yet: the data forge issue fills this generator in.
void forgeSounds(Context&) {}

}  // namespace forge
