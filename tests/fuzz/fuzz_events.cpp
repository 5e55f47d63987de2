// libFuzzer entry: the input bytes decide a run of player actions; a broken invariant aborts.
#include <cstdio>
#include <cstdlib>

#include "fuzz/event_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tori::test;
    EventStream stream([](const std::string& what) {
        std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
        std::abort();
    });
    ByteChoices choices(data, size);
    // A few events per input byte at most; the stream stops deciding once the bytes are used up.
    for (int i = 0; i < 2000 && !choices.exhausted(); ++i) stream.step(choices);
    return 0;
}
