#include "device/Startup.h"

#include "core/LookupTables.h"
#include "ops/BlurConstants.h"

namespace lumo {

void startUp() {
    initialiseLookupTables();
    initialiseBlurConstants();
}

}  // namespace lumo
