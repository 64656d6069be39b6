#include "coverage/CoverageScratch.h"

#include "core/RenderTarget.h"

#include <new>

namespace lumo {

CoverageScratch* CoverageScratch::of(RenderTarget& target) {
    // Only coverage scratch is ever attached to a target.
    if (TargetScratch* scratch = target.scratch()) return static_cast<CoverageScratch*>(scratch);
    std::unique_ptr<CoverageScratch> created(new (std::nothrow) CoverageScratch());
    CoverageScratch* raw = created.get();
    if (raw != nullptr) target.attachScratch(std::move(created));
    return raw;
}

}  // namespace lumo
