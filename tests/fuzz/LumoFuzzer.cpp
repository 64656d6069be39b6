// libFuzzer target: plays each input as a sequence of entry-point calls and
// stops the run when a call leaves an array pinned, makes a JNI call inside a
// critical region, copies past an array's end, leaves a handle behind, or runs
// too long. With
// LUMO_FUZZ_TRACE set it prints every call it makes.
#include "core/HandleRegistry.h"
#include "fuzz/CallPlayer.h"

#include <sanitizer/common_interface_defs.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// The longest a single call may take; LUMO_FUZZ_CALL_MS overrides it. The
// instrumented fuzz build runs ten to twenty times slower than a release
// build, and the heaviest legitimate calls (a shape at the rasteriser's cell
// limit, curves flattened at a huge scale) take up to half a second there.
std::chrono::milliseconds callLimit() {
    static const long ms = [] {
        const char* text = std::getenv("LUMO_FUZZ_CALL_MS");
        return text != nullptr ? std::atol(text) : 15000L;
    }();
    return std::chrono::milliseconds(ms);
}

const lumo::fuzz::CallPlayer* tracedPlayer = nullptr;

// When a sanitizer stops a traced run: the call it stopped in.
void printCurrentCall() {
    if (tracedPlayer != nullptr) {
        std::fprintf(stderr, "lumo fuzzer: stopped in %s(%s)\n", tracedPlayer->currentCall(),
                     tracedPlayer->arguments().c_str());
    }
}

void fail(const char* what, const char* call = "") {
    std::fprintf(stderr, "lumo fuzzer: %s %s\n", what, call);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const uint32_t handlesBefore = HandleRegistry::instance().size();
    test::FakeJni jni;
    {
        fuzz::CallPlayer player(jni);
        if (std::getenv("LUMO_FUZZ_TRACE") != nullptr) {
            player.trace(true);
            tracedPlayer = &player;
            __sanitizer_set_death_callback(printCurrentCall);
        }
        player.play(data, size);
        tracedPlayer = nullptr;
        if (player.slowest() > callLimit()) fail("slow call:", player.slowestCall());
    }
    if (jni.pinned() != 0) fail("an array was left pinned");
    if (jni.violations() != 0)
        fail("JNI call inside a critical region, copy past an end or release out of order");
    if (HandleRegistry::instance().size() != handlesBefore) fail("handles left behind");
    return 0;
}
