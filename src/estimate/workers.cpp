#include "estimate/workers.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "core/os.h"

namespace zav {

// Under an address-space or process limit a thread may not start: the
// pool works with those that did (the calling thread always works), and
// says so only when none did.
WorkerPool::WorkerPool(int threads) {
  for (int i = 1; i < threads; ++i) {
    try {
      workers_.emplace_back([this] { work(); });
    } catch (const std::exception&) {
      if (workers_.empty())
        std::printf("Warning: no worker thread could be started; the likelihood is summed on one thread\n");
      break;
    }
  }
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void WorkerPool::drain() {
  for (int b; (b = next_.fetch_add(1, std::memory_order_relaxed)) < blocks_;) job_(ctx_, b);
}

void WorkerPool::work() {
  std::uint64_t seen = 0;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || round_ != seen; });
      if (stop_) return;
      seen = round_;
    }
    drain();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (--busy_ == 0) done_.notify_one();
    }
  }
}

void WorkerPool::run(int blocks, Job job, void* ctx) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
    ctx_ = ctx;
    blocks_ = blocks;
    next_.store(0, std::memory_order_relaxed);
    busy_ = static_cast<int>(workers_.size());
    ++round_;
  }
  wake_.notify_all();
  drain();
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [&] { return busy_ == 0; });
}

int likelihoodThreads() {
  const std::string v = getEnv("ZAV_THREADS");
  char* end = nullptr;
  const long n = v.empty() ? 0 : std::strtol(v.c_str(), &end, 10);
  if (n >= 1 && end && *end == '\0') return n > 256 ? 256 : static_cast<int>(n);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores >= 1 ? static_cast<int>(cores) : 1;
}

}  // namespace zav
