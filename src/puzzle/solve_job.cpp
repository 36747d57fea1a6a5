#include "puzzle/solve_job.h"

namespace peterin::puzzle {

SolveJob::SolveJob(Problem problem) : problem_(std::move(problem)) {
    thread_ = std::thread([this] {
        SolveOptions options;
        options.progress = [this](const SolveProgress& p) {
            progress_.store(p.done);
            nodes_.store(p.nodes);
            return !cancel_.load();
        };
        result_ = solve(problem_, options);
        nodes_.store(result_.nodes);
        progress_.store(1.0);
        finished_.store(true);
    });
}

SolveJob::~SolveJob() {
    cancel();
    wait();
}

void SolveJob::wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

} // namespace peterin::puzzle
