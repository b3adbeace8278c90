// OrderedJobs: jobs 0 to count - 1 made on worker threads and handed back in their order.
//
// At most `workers` jobs are made at once, and only jobs less than eight times that many
// places ahead of the oldest job not taken are started, so that the workers go on past a slow
// job while finished jobs do not pile up. Within that horizon a free worker starts the job of
// the highest estimated cost (`costs`; the lowest index among equals, so that without costs the
// jobs start in order): a long job started last would keep one worker busy while the others
// idle at the end of the run.
//
// A job reserves memory from a budget before it takes it (JobContext::reserve): it waits while
// the jobs hold too much. When every job that works waits for memory, the one of the lowest
// index goes on (the finished ones wait for the oldest job, not the reverse), so that a job
// larger than the budget is made alone and the jobs never all wait. What a job holds is given
// back when it is taken.
//
// take() is called by one thread (the run's), for 0, 1, 2, ... in turn. Destroying the object
// discards the jobs not taken: no new job starts, jobs waiting for memory give up, and the
// destructor waits for the jobs being made to end. Plain C++ threads and locks throughout.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace snapfolio {

// Thrown inside a job whose run has discarded it, to end it early.
struct JobDiscarded {};

class JobContext {
 public:
  virtual ~JobContext() = default;
  // Waits until `bytes` more fit the budget (the oldest job not taken: or until no other job
  // works); throws JobDiscarded when the jobs are discarded meanwhile.
  virtual void reserve(std::size_t bytes) = 0;
  // Lowers what this job holds to `bytes` (its result, once the work memory is freed).
  virtual void holdOnly(std::size_t bytes) = 0;
  // Whether the jobs have been discarded; a job may end early then.
  virtual bool discarded() const = 0;
};

template <typename Result>
class OrderedJobs {
 public:
  using Make = std::function<Result(int index, JobContext& context)>;

  // `costs`: an estimate per job (empty: none, the jobs start in order).
  OrderedJobs(int count, int workers, std::size_t memoryBudget, Make make,
              std::vector<double> costs = {})
      : count_(count),
        window_(8 * std::max(workers, 1)),
        budget_(memoryBudget),
        make_(std::move(make)),
        costs_(std::move(costs)),
        started_(static_cast<std::size_t>(std::max(count, 0)), false) {
    const int threads = std::clamp(workers, 1, std::max(count, 1));
    threads_.reserve(static_cast<std::size_t>(threads));
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
  }

  ~OrderedJobs() {
    {
      std::lock_guard lock(mutex_);
      discarded_ = true;
    }
    changed_.notify_all();
    for (std::thread& thread : threads_) thread.join();
  }

  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  // The next job's result, waiting for it; rethrows what its making threw.
  Result take() {
    std::unique_lock lock(mutex_);
    const int index = nextToTake_;
    changed_.wait(lock, [&] { return done_.contains(index); });
    Done done = std::move(done_.at(index));
    done_.erase(index);
    used_ -= held_[index];
    held_.erase(index);
    ++nextToTake_;
    lock.unlock();
    changed_.notify_all();
    if (done.failure) std::rethrow_exception(done.failure);
    return std::move(*done.result);
  }

  // Memory reserved by the jobs now, for tests and measurements.
  std::size_t reservedBytes() const {
    std::lock_guard lock(mutex_);
    return used_;
  }

 private:
  struct Done {
    std::optional<Result> result;
    std::exception_ptr failure;
  };

  class Context : public JobContext {
   public:
    Context(OrderedJobs& jobs, int index) : jobs_(jobs), index_(index) {}
    void reserve(std::size_t bytes) override {
      std::unique_lock lock(jobs_.mutex_);
      std::size_t& held = jobs_.held_[index_];
      jobs_.waiting_ += held;
      jobs_.waitingJobs_.insert(index_);
      jobs_.changed_.notify_all();
      jobs_.changed_.wait(lock, [&] {
        return jobs_.discarded_ || jobs_.used_ + bytes <= jobs_.budget_ ||
               (index_ == *jobs_.waitingJobs_.begin() && jobs_.working_ == jobs_.waiting_);
      });
      jobs_.waiting_ -= held;
      jobs_.waitingJobs_.erase(index_);
      if (jobs_.discarded_) throw JobDiscarded{};
      jobs_.used_ += bytes;
      jobs_.working_ += bytes;
      held += bytes;
    }
    void holdOnly(std::size_t bytes) override {
      {
        std::lock_guard lock(jobs_.mutex_);
        std::size_t& held = jobs_.held_[index_];
        if (bytes >= held) return;
        jobs_.used_ -= held - bytes;
        jobs_.working_ -= held - bytes;
        held = bytes;
      }
      jobs_.changed_.notify_all();
    }
    bool discarded() const override {
      std::lock_guard lock(jobs_.mutex_);
      return jobs_.discarded_;
    }

   private:
    OrderedJobs& jobs_;
    int index_;
  };

  void work() {
    for (;;) {
      int index = 0;
      {
        std::unique_lock lock(mutex_);
        std::optional<int> next;
        changed_.wait(lock, [&] {
          next = nextToStart();
          return discarded_ || unstarted_ == 0 || next;
        });
        if (discarded_ || !next) return;
        index = *next;
        started_[static_cast<std::size_t>(index)] = true;
        --unstarted_;
      }
      Done done;
      Context context(*this, index);
      try {
        done.result.emplace(make_(index, context));
      } catch (const JobDiscarded&) {
        std::lock_guard lock(mutex_);
        working_ -= held_[index];
        return;
      } catch (...) {
        done.failure = std::current_exception();
      }
      {
        std::lock_guard lock(mutex_);
        working_ -= held_[index];
        if (discarded_) return;
        done_.emplace(index, std::move(done));
      }
      changed_.notify_all();
    }
  }

  // The job a free worker starts: the costliest not started within the horizon; nothing
  // when every job there has started.
  std::optional<int> nextToStart() const {
    std::optional<int> best;
    const int end = std::min(count_, nextToTake_ + window_);
    for (int i = nextToTake_; i < end; ++i) {
      if (started_[static_cast<std::size_t>(i)]) continue;
      if (!best || costOf(i) > costOf(*best)) best = i;
    }
    return best;
  }

  double costOf(int index) const {
    return static_cast<std::size_t>(index) < costs_.size() ? costs_[static_cast<std::size_t>(index)]
                                                           : 0.0;
  }

  const int count_;
  const int window_;
  const std::size_t budget_;
  const Make make_;
  const std::vector<double> costs_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<bool> started_;  // by job index
  int unstarted_ = count_;
  int nextToTake_ = 0;
  bool discarded_ = false;
  std::size_t used_ = 0;             // held by the jobs not taken
  std::size_t working_ = 0;          // held by the jobs not finished
  std::size_t waiting_ = 0;          // of which by jobs waiting for more
  std::set<int> waitingJobs_;        // the jobs waiting for memory
  std::map<int, std::size_t> held_;  // by job index
  std::map<int, Done> done_;         // finished, not taken
  std::vector<std::thread> threads_;
};

}  // namespace snapfolio
