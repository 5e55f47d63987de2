// Random play through the handlers with the recording toolkit, checking after every event that the
// game still holds together. The handler tests drive it from a random generator, the libFuzzer
// target from its input bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "fake_toolkit.h"

namespace tori::test {

// Where the stream's decisions come from.
class Choices {
public:
    virtual ~Choices() = default;
    // A number in 0 .. bound - 1 (bound ≥ 1).
    virtual uint32_t next(uint32_t bound) = 0;
};

// Decisions read from a byte string; once it is used up every decision is 0.
class ByteChoices : public Choices {
public:
    ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t next(uint32_t bound) override;
    bool exhausted() const { return pos_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_, pos_ = 0;
};

struct StreamCounts {
    long events = 0, jumps = 0, refusals = 0, wins = 0, endings = 0, undos = 0, redos = 0, sizeChoices = 0,
         restarts = 0, copies = 0, inverseChecks = 0;
};

class EventStream {
public:
    // `fail` receives a description of the first broken rule; the stream goes on regardless.
    explicit EventStream(std::function<void(const std::string&)> fail);
    ~EventStream();

    // One player action, then every check.
    void step(Choices& c);
    const std::string& lastEvent() const { return event_; }
    const StreamCounts& counts() const { return counts_; }

private:
    class Toolkit;
    struct Session;

    void newSession();
    void require(bool ok, const std::string& what);
    void checkAll();
    void checkMenuRule();
    void checkUndoRedoInverse(Choices& c);
    void checkWinMoment(int16_t flags, std::string_view prompt);

    void press(Choices& c);
    void pressOn(float x, float y, int16_t button, int16_t shift);
    void playLegal(Choices& c);
    void playWinningLine(bool wholeLine);
    void queueInput(Choices& c);
    bool choose(Menu m, int16_t index = 0);

    std::function<void(const std::string&)> fail_;
    std::unique_ptr<Session> session_;
    std::string event_;
    StreamCounts counts_;
    int16_t winAnswer_ = vbYes;
    bool wonThisEvent_ = false;
    bool queuedInputRan_ = false;  // input handled inside the win's event processing
};

}  // namespace tori::test
