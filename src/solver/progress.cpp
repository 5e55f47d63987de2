// The progress line on the terminal, and its erasure on Ctrl+C.
#include "solver/progress.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <string_view>

#include "solver/text.h"

namespace tori::solver {

namespace {

using namespace std::chrono_literals;

constexpr std::string_view kErase = "\r\033[K";  // to the start of the line and clear it
constexpr std::array<int, 2> kSignals = {SIGINT, SIGTERM};

// Shared with the signal handler. The ticker announces each write of the line in `writing` and skips
// it once `ending` is set, so the handler's erasure always comes after the last text on the terminal.
std::atomic<int> lineFd{-1};  // the terminal where a line has been shown; -1 when there is none
std::atomic<bool> writing{false};
std::atomic<bool> ending{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "read in a signal handler");

void writeAll(int fd, std::string_view s) {
    while (!s.empty()) {
        const ssize_t n = ::write(fd, s.data(), s.size());
        if (n <= 0) return;  // a terminal that takes nothing gets nothing more
        s.remove_prefix(size_t(n));
    }
}

// Only async-signal-safe calls: the line goes, then the signal does what it would have done. The
// ticker never runs this (it blocks the signals), so waiting for its write to end cannot deadlock; a
// terminal stopped with Ctrl+S is waited for a tenth of a second at most.
void eraseAndEnd(int sig) {
    ending.store(true);
    for (int i = 0; writing.load() && i < 100; ++i) {
        const timespec millisecond{0, 1'000'000};
        nanosleep(&millisecond, nullptr);
    }
    const int fd = lineFd.exchange(-1);
    if (fd >= 0 && ::write(fd, kErase.data(), kErase.size()) < 0) {
        // Nothing more can be done about the line.
    }
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Blocks SIGINT and SIGTERM on the calling thread while it lives.
class SignalsHeld {
public:
    SignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (const int sig : kSignals) sigaddset(&set, sig);
        pthread_sigmask(SIG_BLOCK, &set, &previous_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

}  // namespace

std::string progressText(const Progress& p, Language language) {
    const auto pins = std::to_string(p.pins.load(std::memory_order_relaxed));
    const uint64_t done = p.done.load(std::memory_order_relaxed), total = p.total.load(std::memory_order_relaxed);
    const std::string percent = std::to_string(total ? std::min<uint64_t>(done * 100 / total, 100) : 0) + "%";
    switch (p.stage.load(std::memory_order_relaxed)) {
        case Progress::Stage::idle: break;
        case Progress::Stage::reachable:
            return say(language, "到達できる局面を調べています: ピン " + pins + " 本、" + grouped(done) + " 局面",
                       "Finding reachable positions: " + pins + " pins, " + grouped(done) + " positions");
        case Progress::Stage::winnable:
            return say(language, "クリアできる局面を調べています: ピン " + pins + " 本、" + percent,
                       "Finding winnable positions: " + pins + " pins, " + percent);
        case Progress::Stage::sequences:
            return say(language, "クリアまでの手順を数えています: ピン " + pins + " 本、" + percent,
                       "Counting winning move sequences: " + pins + " pins, " + percent);
    }
    return "";
}

ProgressLine::ProgressLine(const Progress& progress, int fd, Language language)
    : progress_(progress), fd_(fd), language_(language) {
    if (fd < 0) return;
    for (size_t i = 0; i < previous_.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = eraseAndEnd;
        sigemptyset(&action.sa_mask);
        sigaction(kSignals[i], &action, &previous_[i]);
        // A signal the program was started to ignore stays ignored.
        if (previous_[i].sa_handler == SIG_IGN) sigaction(kSignals[i], &previous_[i], nullptr);
    }
    const SignalsHeld held;  // the ticker starts with the signals blocked, and keeps them so
    ticker_ = std::thread([this] { run(); });
}

ProgressLine::~ProgressLine() {
    if (!ticker_.joinable()) return;
    // A signal from here on waits until the line is erased and the program's own actions are back.
    const SignalsHeld held;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    ticker_.join();
    if (lineFd.exchange(-1) >= 0) writeAll(fd_, kErase);
    for (size_t i = 0; i < previous_.size(); ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

// Short work ends before the first line; after that the line changes at most four times a second.
void ProgressLine::run() {
    std::unique_lock lock(mutex_);
    if (wake_.wait_for(lock, 500ms, [this] { return stop_; })) return;
    std::string shown;
    do {
        const std::string text = progressText(progress_, language_);
        if (text.empty() || text == shown) continue;
        writing.store(true);
        if (!ending.load()) {
            lineFd.store(fd_);
            writeAll(fd_, std::string(kErase) + text);
        }
        writing.store(false);
        shown = text;
    } while (!wake_.wait_for(lock, 250ms, [this] { return stop_; }));
}

}  // namespace tori::solver
