#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

#include "puzzle/solver.h"

namespace peterin::puzzle {

// One search on a thread of its own, so that the window goes on answering: it can be watched
// (how far, how many placements) and cancelled. Dropping the job cancels it and waits for it.
class SolveJob {
  public:
    explicit SolveJob(Problem problem);
    SolveJob(const SolveJob&) = delete;
    SolveJob& operator=(const SolveJob&) = delete;
    ~SolveJob();

    const Problem& problem() const { return problem_; }
    // Share of the search done, 0 to 1, and the placements tried so far.
    double progress() const { return progress_.load(); }
    std::uint64_t nodes() const { return nodes_.load(); }
    bool finished() const { return finished_.load(); }
    // Asks the search to stop; it does within a few thousand placements.
    void cancel() { cancel_.store(true); }
    // Waits for the search to end.
    void wait();
    // What it found; only once finished.
    const SolveResult& result() const { return result_; }

  private:
    Problem problem_;
    SolveResult result_;
    std::atomic<double> progress_{0};
    std::atomic<std::uint64_t> nodes_{0};
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace peterin::puzzle
