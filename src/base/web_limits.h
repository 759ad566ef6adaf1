#pragma once
// How long a web call may take and how far it may be redirected, the same on
// every platform. Each web client maps these onto its library's own settings;
// none keeps a number of its own.
#include <chrono>

namespace keldo {

// No call may keep the window busy for longer than this, redirects and slow
// trickles of data included.
inline constexpr std::chrono::seconds kWebCallTimeout{30};

// Finding the server's address, and the connection to it or to the proxy:
// a server that cannot be reached is given up sooner than one that is slow.
inline constexpr std::chrono::seconds kWebConnectTimeout{10};

// A server (or proxy) that stops sending or stops taking what is sent is
// given up after this long without progress. libcurl has no receive
// time-out of its own: there the bound is a transfer slower than
// kWebLowSpeedBytesPerSecond for this long.
inline constexpr std::chrono::seconds kWebStallTimeout{15};
inline constexpr long kWebLowSpeedBytesPerSecond = 64;

// Where libcurl's own whole-call time-out works, it comes first and names
// itself; the program's deadline, this much later, only ends what libcurl
// would let run on (the endless body of a proxy's 407 answer).
inline constexpr std::chrono::seconds kWebDeadlineGrace{1};

// A proxy configuration script that cannot be fetched must not hold the
// check up for long: each step of fetching it has this bound.
inline constexpr std::chrono::seconds kProxyScriptTimeout{5};

// Redirects followed in one call; the one after these fails the call.
inline constexpr int kMaxRedirects = 5;

}  // namespace keldo
