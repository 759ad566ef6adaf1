#pragma once
// The names of the stand-in website's faults: a request's first path
// segment, or --fault for every request. The stand-in, the tests that point
// a client at a fault, and (through the stand-in refusing any other
// --fault) the Wine suite's scripts all take them from here, so a fault
// renamed or mistyped fails the build or the start, never turns into a
// quiet 404. Plain C++, no library: the Windows tests include it too.
namespace standin_fault {

inline constexpr char kNotFound[] = "404";
inline constexpr char kServerError[] = "500";
inline constexpr char kSilent[] = "silent";
// Silent for a while, then the ordinary answer: long enough for a window
// to be probed while it waits (late), or for a client to show that it
// waits (slow).
inline constexpr char kLate[] = "late";
inline constexpr char kSlow[] = "slow";
inline constexpr char kDrip[] = "drip";
inline constexpr char kHuge[] = "huge";
inline constexpr char kHugeChunked[] = "huge-chunked";
inline constexpr char kCut[] = "cut";
// The connection reset (TCP RST) in the middle of the body, with no TLS close.
inline constexpr char kReset[] = "reset";
inline constexpr char kHttpRedirect[] = "http-redirect";
inline constexpr char kRedirect[] = "redirect";
inline constexpr char kRedirectLoop[] = "redirect-loop";
// Written byte by byte by the raw responder (raw_faults.cpp), as reset is.
inline constexpr char kTrailerFlood[] = "trailer-flood";
inline constexpr char kHeaderFlood[] = "header-flood";
inline constexpr char kLongHeader[] = "long-header";
inline constexpr char kInterimFlood[] = "interim-flood";

inline constexpr const char* kRawFaults[] = {kTrailerFlood, kHeaderFlood, kLongHeader,
                                             kInterimFlood, kReset};
inline constexpr const char* kAllFaults[] = {
    kNotFound,     kServerError,  kSilent,      kLate,       kSlow,         kDrip,
    kHuge,         kHugeChunked,  kCut,         kReset,      kHttpRedirect, kRedirect,
    kRedirectLoop, kTrailerFlood, kHeaderFlood, kLongHeader, kInterimFlood};

}  // namespace standin_fault
