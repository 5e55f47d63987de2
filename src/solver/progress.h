// How far a long computation has come, and a terminal line that shows it while it runs.
#pragma once

#include <signal.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "moves/record.h"

namespace tori::solver {

// Written by the computation's threads with relaxed stores, once per chunk of words; read by another thread.
struct Progress {
    enum class Stage : int { idle, reachable, winnable, sequences };
    std::atomic<Stage> stage{Stage::idle};
    std::atomic<int> pins{0};        // the pin count being worked on
    std::atomic<uint64_t> done{0};   // positions done in this stage
    std::atomic<uint64_t> total{0};  // positions in this stage, 0 while unknown

    void begin(Stage s, uint64_t positions) {
        done.store(0, std::memory_order_relaxed);
        total.store(positions, std::memory_order_relaxed);
        stage.store(s, std::memory_order_relaxed);
    }
};

// The text of the line for a progress as it stands; empty when there is nothing to show.
std::string progressText(const Progress& p, Language language = Language::japanese);

// While it lives, shows the progress on the terminal `fd` from half a second on, four times a second,
// always on the same line, and erases that line when it ends or when Ctrl+C ends the program.
// With fd < 0 it does nothing.
//
// A terminal line and a signal handler belong to the whole process, and so does this: one ProgressLine
// at a time per process. While it lives, SIGINT and SIGTERM go to its handler, which finds the line
// through state shared with it, and then to the program's own action; a signal the program was
// started to ignore (nohup, a background job) stays ignored. Its end puts the previous actions back.
class ProgressLine {
public:
    ProgressLine(const Progress& progress, int fd, Language language);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

private:
    void run();
    const Progress& progress_;
    int fd_;
    Language language_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::array<struct sigaction, 2> previous_{};  // SIGINT, SIGTERM
    std::thread ticker_;
};

}  // namespace tori::solver
