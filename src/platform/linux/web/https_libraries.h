#pragma once

namespace keldo {

// Sets up libcurl and OpenSSL for the process, once, at start-up (the
// composition root calls it), before the first connection. OpenSSL otherwise makes its default
// context and that context's locks on the first connection, lazily, and on a failed allocation
// there it goes on with a lock that is not there and crashes; made here, such a failure is one the
// run can report. Throws RunTimeError with the library's text when either cannot be set up; every
// later call throws the same.
void StartHttpsLibraries();

}  // namespace keldo
