#pragma once

namespace lumo {

// Working memory that the drawing layers keep with a render target (the
// rasteriser and scan-line containers all drawing objects of the target
// share). The target only owns it: what it holds is known to the layers that
// attach it.
class TargetScratch {
public:
    virtual ~TargetScratch() = default;
};

}  // namespace lumo
