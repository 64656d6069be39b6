#include "device/Startup.h"

#include "ops/BlurConstants.h"
#include "ops/LookupTables.h"

namespace lumo {

void startUp() {
    initialiseLookupTables();
    initialiseBlurConstants();
}

}  // namespace lumo
