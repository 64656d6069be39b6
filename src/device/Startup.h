#pragma once

namespace lumo {

// The work done once when the library is loaded: the shared lookup tables and
// the blur constants. Called by the platform's load-time hook.
void startUp();

}  // namespace lumo
