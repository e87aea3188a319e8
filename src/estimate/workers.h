// The small pool of threads that sums a likelihood's blocks of observations.
// The interpreter starts it once, on the first likelihood that can use it,
// with as many threads as ZAV_THREADS says (the processor count when unset);
// the calling thread works as one of them.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace zav {

class WorkerPool {
 public:
  explicit WorkerPool(int threads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int threads() const { return static_cast<int>(workers_.size()) + 1; }

  // Calls job(ctx, b) once for every block b in [0, blocks), spread over the
  // pool and the calling thread, and returns when all are done. A job writes
  // only what belongs to its block.
  using Job = void (*)(void* ctx, int block);
  void run(int blocks, Job job, void* ctx);

 private:
  void work();
  void drain();

  std::vector<std::thread> workers_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::uint64_t round_ = 0;  // bumped for every run
  int busy_ = 0;             // workers still in the current round
  bool stop_ = false;
  Job job_ = nullptr;
  void* ctx_ = nullptr;
  int blocks_ = 0;
  std::atomic<int> next_{0};
};

// The thread count ZAV_THREADS asks for, at least 1.
int likelihoodThreads();

}  // namespace zav
