#pragma once

namespace keldo {

// Sets up libcurl and OpenSSL for the process, once, when the first request
// takes the session (CurlSession::Lease), before its connection. OpenSSL
// otherwise makes its default context and that context's locks inside the
// first handshake, lazily, and on a failed allocation there it goes on with
// a lock that is not there and crashes; made here, such a failure is one the
// run can report. Not at start-up: OpenSSL's context would then stand under
// the reading of the settings and raise its peak of memory. Throws
// RunTimeError with the library's text when either cannot be set up; every
// later call throws the same.
void StartHttpsLibraries();

}  // namespace keldo
