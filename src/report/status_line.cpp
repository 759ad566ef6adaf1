#include "report/status_line.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "base/findings_text.h"

namespace keldo {

namespace {

// Redraws often enough that the seconds never lag by a visible amount.
constexpr std::chrono::milliseconds kTickEvery{200};

// Terminal columns of a line of our own: one per character, none per UTF-8
// continuation byte.
std::size_t Columns(const std::string& utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

// The first `columns` characters of `utf8`.
std::string Cut(const std::string& utf8, std::size_t columns) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == columns)
      return utf8.substr(0, i);
  }
  return utf8;
}

// Blanks written one at a time: clearing the line allocates nothing, so
// that Stop, which the destructor calls, cannot fail for want of memory
// before the ticker is joined.
void PutBlanks(std::ostream& out, std::size_t count) {
  for (; count > 0; --count) out.put(' ');
}

}  // namespace

StatusLine::StatusLine(std::ostream& err, std::size_t columns)
    : err_(err), columns_(columns), ticker_([this] { Tick(); }) {}

StatusLine::~StatusLine() {
  // A destructor must not throw; should the lock or the join fail, the
  // line stays as it was drawn.
  try {
    Stop();
  } catch (const std::system_error&) {
  }
}

void StatusLine::Show(const Text& step) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return;
  step_ = ToUtf8(EscapedLine(step));
  since_ = std::chrono::steady_clock::now();
  Draw();
}

void StatusLine::Around(const std::function<void(std::ostream&)>& write) {
  const std::lock_guard<std::mutex> lock(mutex_);
  Erase();
  write(err_);
  if (!stopping_) Draw();
}

void StatusLine::Stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    // A Stop that failed before the join (a stream that throws) leaves the
    // join to the next one, the destructor's: a thread never joined would
    // end the process.
    if (!stopping_) {
      stopping_ = true;
      Erase();
    }
  }
  wake_.notify_all();
  if (ticker_.joinable()) ticker_.join();
}

void StatusLine::Tick() {
  // The thread's entry: an exception here would end the process. A line
  // that cannot be drawn (no memory for it) is left as it is; the next
  // Show draws it again.
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, kTickEvery, [this] { return stopping_; })) {
    try {
      if (!step_.empty() && Line() != drawn_) Draw();
    } catch (const std::bad_alloc&) {
    }
  }
}

std::string StatusLine::Line() const {
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - since_)
          .count();
  const std::string line = seconds < 1 ? step_ : step_ + " (" + std::to_string(seconds) + " s)";
  return columns_ > 1 ? Cut(line, columns_ - 1) : line;
}

void StatusLine::Draw() {
  std::string line = Line();
  const std::size_t shown = Columns(drawn_), now = Columns(line);
  // Blanks over what a longer line left, so that no escape sequence is
  // needed: a console without them shows the same.
  err_ << '\r' << line;
  PutBlanks(err_, shown > now ? shown - now : 0);
  if (shown > now) err_ << '\r' << line;
  err_.flush();
  drawn_ = std::move(line);  // a move, which cannot fail after the write
}

void StatusLine::Erase() {
  if (drawn_.empty()) return;
  err_ << '\r';
  PutBlanks(err_, Columns(drawn_));
  err_ << '\r';
  err_.flush();
  drawn_.clear();
}

}  // namespace keldo
