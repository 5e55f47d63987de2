// Random play of many games through the handlers, checking the game's invariants after every event.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>

#include "fuzz/event_stream.h"

namespace tori::test {
namespace {

class RandomChoices : public Choices {
public:
    explicit RandomChoices(uint64_t start) : rng_(start) {}
    uint32_t next(uint32_t bound) override { return bound <= 1 ? 0 : uint32_t(rng_() % bound); }

private:
    std::mt19937_64 rng_;
};

// The start value comes from TORIPIN_FUZZ_START when a failure is being replayed, else from the clock.
uint64_t startValue() {
    if (const char* v = std::getenv("TORIPIN_FUZZ_START")) return std::strtoull(v, nullptr, 10);
    return uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

TEST(Invariants, HoldThroughAHundredAndTwentyThousandRandomEvents) {
    const uint64_t start = startValue();
    std::cout << "replay with TORIPIN_FUZZ_START=" << start << std::endl;
    RandomChoices choices(start);
    std::vector<std::string> failures;
    EventStream stream([&](const std::string& what) { failures.push_back(what); });
    constexpr long kEvents = 120'000;
    for (long i = 0; i < kEvents && failures.empty(); ++i) stream.step(choices);
    for (const auto& f : failures) ADD_FAILURE() << f << "\nreplay with TORIPIN_FUZZ_START=" << start;

    // The run must have reached every kind of situation, or it proves little.
    const StreamCounts& n = stream.counts();
    std::cout << "events " << n.events << ", jumps " << n.jumps << ", refusals " << n.refusals << ", wins " << n.wins
              << ", endings " << n.endings << ", undos " << n.undos << ", redos " << n.redos << ", size choices "
              << n.sizeChoices << ", restarts " << n.restarts << ", copies " << n.copies << ", inverse checks "
              << n.inverseChecks << std::endl;
    if (failures.empty()) {
        EXPECT_EQ(n.events, kEvents);
        EXPECT_GT(n.wins, 50);
        EXPECT_GT(n.endings, 5);
        EXPECT_GT(n.jumps, 10'000);
        EXPECT_GT(n.refusals, 1'000);
        EXPECT_GT(n.undos, 1'000);
        EXPECT_GT(n.redos, 500);
        EXPECT_GT(n.inverseChecks, 5'000);
    }
}

}  // namespace
}  // namespace tori::test
