#include "span/ConicAngle.h"

namespace lumo::conic {

// atan(j / 32), j = 0..32, as exact binary constants (within an ulp of the
// arctangent), the same on every platform.
const double arctangents[33] = {
    0x0.0p+0,
    0x1.ffd55bba97625p-6,
    0x1.ff55bb72cfdeap-5,
    0x1.7ee182602f10fp-4,
    0x1.fd5ba9aac2f6ep-4,
    0x1.3d6eee8c6626cp-3,
    0x1.7b97b4bce5b02p-3,
    0x1.b90d7529260a2p-3,
    0x1.f5b75f92c80ddp-3,
    0x1.18bf5a30bf178p-2,
    0x1.362773707ebccp-2,
    0x1.530ad9951cd4ap-2,
    0x1.6f61941e4def1p-2,
    0x1.8b24d394a1b25p-2,
    0x1.a64eec3cc23fdp-2,
    0x1.c0db4c94ec9f0p-2,
    0x1.dac670561bb4fp-2,
    0x1.f40dd0b541418p-2,
    0x1.0657e94db30d0p-1,
    0x1.1255d9bfbd2a9p-1,
    0x1.1e00babdefeb4p-1,
    0x1.2958e59308e31p-1,
    0x1.345f01cce37bbp-1,
    0x1.3f13fb89e96f4p-1,
    0x1.4978fa3269ee1p-1,
    0x1.538f57b89061fp-1,
    0x1.5d58987169b18p-1,
    0x1.66d663923e087p-1,
    0x1.700a7c5784634p-1,
    0x1.78f6bbd5d315ep-1,
    0x1.819d0b7158a4dp-1,
    0x1.89ff5ff57f1f8p-1,
    0x1.921fb54442d18p-1,
};

}  // namespace lumo::conic
