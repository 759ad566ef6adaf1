#pragma once
// Waits that keep the window answering.
//
// The check run runs on the window's thread and waits there: for the
// website, for the drive list and each file test, for the re-mappings.
// Windows calls a window "not responding" once its thread has not looked at
// its queue for 5 s: it greys it, swaps it for a ghost that no longer
// repaints and offers to close the program. So every such wait goes through
// here, and while it lasts the thread serves what the system needs of it
// and nothing else:
// - sent messages (PeekMessage delivers them), so that the system's "are you
//   there?" and other programs' questions are answered;
// - paint messages, so that a covered and uncovered window shows the
//   captions already set;
// - and it looks at its queue at least every kServeEveryMs, which is what
//   the system's hang detection goes by.
// Posted messages and input (clicks, keys, the close box) stay queued: they
// are handled by the ordinary message loop once the run is over. A sent
// message may still reach the window procedure mid-run (a BM_CLICK or
// WM_CLOSE sent by another program); the window refuses those while a run
// is in progress (main_window.cpp).
//
// A blocking call (WinHTTP, GetLogicalDrives, GetFileAttributesW) cannot be
// waited for this way, so it runs on a worker thread of its own while the
// window's thread waits for that thread, served (RunServed). The check run
// itself stays on the window's thread, one step after the other: the worker
// only carries one call and ends with it.
//
// A thread that owns no window (the console report, a test) has nothing to
// serve: it waits, or calls, as it always did.
#include <windows.h>

#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace keldo {

// The longest the thread goes without looking at its queue.
inline constexpr DWORD kServeEveryMs = 100;
// MsgWaitForMultipleObjectsEx takes one handle less than a plain wait.
inline constexpr DWORD kMaxServedHandles = MAXIMUM_WAIT_OBJECTS - 1;

// As WaitForMultipleObjects(count, handles, TRUE, ms): waits until every one
// of the handles is signalled (WAIT_OBJECT_0) or `ms` have passed
// (WAIT_TIMEOUT; INFINITE waits without limit), and answers WAIT_FAILED with
// GetLastError() set when a wait fails, or for no handles or more than
// kMaxServedHandles. Meant for objects that stay signalled once signalled:
// processes, threads, manual-reset events.
//
// It does not use MsgWaitForMultipleObjectsEx's MWMO_WAITALL, which waits for
// all the handles *and* a message at once: it would neither serve messages
// while the handles are pending nor return when they are all signalled and
// no message comes. It waits for any handle or a message instead, and counts
// a handle as done once it is signalled.
DWORD WaitForAllServed(DWORD count, const HANDLE* handles, DWORD ms);

// Whether the calling thread owns a window, and so has messages to serve.
bool ThreadHasWindow();

namespace served_detail {

struct Job {
  virtual ~Job() = default;
  virtual void Run() noexcept = 0;
};

// Runs `job` on a new thread and waits for that thread, served. Throws a
// RunTimeError with the platform's code and text when the thread cannot be
// started or the wait fails; the job then runs on to its end alone.
void RunOnWorker(const std::shared_ptr<Job>& job);

}  // namespace served_detail

// Runs `work` (a callable returning a value) on a worker thread while this
// thread waits for it, served; returns its result or rethrows its exception
// here. `work` must own everything it touches (capture by value, return what
// it finds): should the wait itself fail, this throws at once and `work`
// runs on to its end alone, its result dropped. On a thread without a window
// `work` runs right here.
template <typename Work>
auto RunServed(Work work) -> std::invoke_result_t<Work&> {
  using Result = std::invoke_result_t<Work&>;
  static_assert(!std::is_void_v<Result>, "the work returns what it found");
  if (!ThreadHasWindow()) return work();
  struct WorkJob final : served_detail::Job {
    explicit WorkJob(Work taken) : work(std::move(taken)) {}
    void Run() noexcept override {
      try {
        result.emplace(work());
      } catch (...) {
        error = std::current_exception();
      }
    }
    Work work;
    std::optional<Result> result;
    std::exception_ptr error;
  };
  const auto job = std::make_shared<WorkJob>(std::move(work));
  served_detail::RunOnWorker(job);
  if (job->error) std::rethrow_exception(job->error);
  return std::move(*job->result);
}

}  // namespace keldo
