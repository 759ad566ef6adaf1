#pragma once
// The report's outermost frame. Whatever escapes the run (an allocation
// that failed while the output was built, a failure the run's own handler
// met while reporting one) ends the program as a failure, with one line on
// standard error, rather than through std::terminate and a signal.
#include <exception>

#include "report/report.h"

namespace keldo {

// Writes "keldo-check-report: " and `what` (nullptr: an error of no known
// kind), escaped for a terminal, as one line on standard error, allocating
// nothing. Returns kExitFailed.
int ReportUntrappedError(const char* what) noexcept;

// `body()`'s exit status, or ReportUntrappedError's.
template <typename Body>
int AtTheEdge(const Body& body) noexcept {
  try {
    return body();
  } catch (const std::exception& error) {
    return ReportUntrappedError(error.what());
  } catch (...) {
    return ReportUntrappedError(nullptr);
  }
}

}  // namespace keldo
