#include "report/report.h"

#include <exception>
#include <nlohmann/json.hpp>
#include <optional>

#include "app/main_check.h"
#include "base/findings_text.h"
#include "base/program_version.h"
#include "report/console_view.h"
#include "report/source_commit.h"

namespace keldo {

namespace {

constexpr const char* kUsage =
    "Usage: keldo-check-report [--json] [--quiet] [--debug]\n"
    "       keldo-check-report --help | --version\n"
    "\n"
    "Runs one check of the Keldo6 Accounts support state, as the Start button of\n"
    "Check Keldo Support does, and prints the window's results.\n"
    "\n"
    "  --json     print one JSON object: captions, messages, debug lines, outcome\n"
    "  --quiet    no status line while the check runs\n"
    "  --debug    show the diagnostic lines as well\n"
    "  --help     show this text\n"
    "  --version  show the program's version\n"
    "\n"
    "Exit status: 0 the check completed, 2 it ended the program (database not\n"
    "found), 1 an error ended the check, 64 wrong usage.\n";

struct Options {
  bool json = false, quiet = false, debug = false, help = false, version = false;
};

// Empty when every argument is understood, else what is wrong with the
// first one that is not: the argument itself, escaped for the terminal.
std::string ParseOptions(const std::vector<std::string>& args, Options& options) {
  for (const auto& arg : args) {
    if (arg == "--json")
      options.json = true;
    else if (arg == "--quiet")
      options.quiet = true;
    else if (arg == "--debug")
      options.debug = true;
    else if (arg == "--help" || arg == "-h")
      options.help = true;
    else if (arg == "--version")
      options.version = true;
    else if (!arg.empty() && arg[0] == '-')
      return "unknown option '" + OneLine(FromUtf8(arg)) + "'";
    else
      return "unexpected argument '" + OneLine(FromUtf8(arg)) + "'";
  }
  return std::string();
}

struct Result {
  RunOutcome outcome = RunOutcome::Failed;
  Text error;
};

Result RunOnce(ConsoleView& view, const ServicesFactory& makeServices, const Text& website,
               bool debug) {
  std::unique_ptr<PlatformServices> services;
  std::unique_ptr<MainCheck> check;
  try {
    services = makeServices();
    check = Main(services->WithView(view), website);
  } catch (const std::exception& e) {
    // Start-up failed, so no check could run: report it the way the
    // platform would.
    const Text text = FromUtf8(e.what());
    view.WriteMessage(text);
    return {RunOutcome::Failed, text};
  }
  if (debug) check->SetDebugOn(kTrue);
  // cmdStart_Click traps every error, the end of the program included: a run
  // that ends the program comes back as the outcome Closed.
  check->cmdStart_Click();
  return {check->LastOutcome(), check->LastError()};
}

// The JSON library escapes only the controls below U+0020; DEL and the C1
// controls (U+0080 to U+009F, which a terminal may act on as the 8-bit form
// of ESC sequences) would pass raw. They can stand only inside strings, so
// the dumped text is mended byte by byte.
std::string EscapeC1AndDelete(const std::string& json) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(json.size());
  for (std::size_t i = 0; i < json.size(); ++i) {
    const auto byte = static_cast<unsigned char>(json[i]);
    const auto next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
    if (byte == 0x7F) {
      out += "\\u007f";
    } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      out += "\\u00";
      out += kHex[next >> 4];
      out += kHex[next & 0xF];
      ++i;
    } else {
      out += json[i];
    }
  }
  return out;
}

// A JSON string, as the JSON library escapes it. The document around the
// strings is written here rather than built as the library's tree: that
// tree's destructor allocates (for nested values), and an allocation that
// fails in a destructor ends the process.
std::string Quoted(const std::string& utf8) {
  return nlohmann::json(utf8).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// `items` as the members of an object (names given) or the elements of an
// array, two blanks deeper than `indent`, as the library's own dump(2)
// writes them.
std::string Block(char open, char close, const std::vector<std::string>& names,
                  const std::vector<std::string>& items, const std::string& indent) {
  if (items.empty()) return {open, close};
  std::string block(1, open);
  for (std::size_t i = 0; i < items.size(); ++i) {
    block += (i == 0 ? "\n" : ",\n") + indent + "  ";
    if (!names.empty()) block += Quoted(names[i]) + ": ";
    block += items[i];
  }
  return block + "\n" + indent + close;
}

void PrintJson(const ConsoleView& view, const Result& result, std::ostream& out) {
  std::vector<std::string> names, captions;
  for (const auto& entry : kControls) {
    names.emplace_back(entry.name);
    captions.push_back(Quoted(ToUtf8(view.Caption(entry.id))));
  }
  auto texts = [](const std::vector<Text>& lines) {
    std::vector<std::string> items;
    for (const auto& line : lines) items.push_back(Quoted(ToUtf8(line)));
    return Block('[', ']', {}, items, "  ");
  };
  const char* outcome = result.outcome == RunOutcome::Completed ? "\"completed\""
                        : result.outcome == RunOutcome::Closed  ? "\"closed\""
                                                                : "\"failed\"";
  const std::string error =
      result.outcome == RunOutcome::Failed ? Quoted(ToUtf8(result.error)) : "null";
  const std::string json = Block('{', '}', {"captions", "messages", "debug", "outcome", "error"},
                                 {Block('{', '}', names, captions, "  "), texts(view.Messages()),
                                  texts(view.DiagnosticLines()), outcome, error},
                                 "");
  out << EscapeC1AndDelete(json) << '\n';
}

}  // namespace

int RunReport(const std::vector<std::string>& args, const ServicesFactory& makeServices,
              const Text& website, std::ostream& out, std::ostream& err,
              ErrorTerminal errTerminal) {
  Options options;
  if (const std::string problem = ParseOptions(args, options); !problem.empty()) {
    err << "keldo-check-report: " << problem << '\n' << kUsage;
    return kExitUsage;
  }
  if (options.help) {
    out << kUsage << std::flush;
    return out ? kExitCompleted : kExitFailed;
  }
  if (options.version) {
    out << "keldo-check-report " << ToUtf8(kProgramVersion) << "\nsource commit " << kSourceCommit
        << '\n'
        << std::flush;
    return out ? kExitCompleted : kExitFailed;
  }

  std::optional<StatusLine> status;
  if (errTerminal.isTerminal && !options.json && !options.quiet) {
    try {
      status.emplace(err, errTerminal.columns);
    } catch (const std::exception&) {
      // No thread (std::system_error) or no memory for the ticker: the
      // line only shows progress, and the check runs as well without it.
    }
  }
  ConsoleView view(err, options.json, status ? &*status : nullptr);
  const Result result = RunOnce(view, makeServices, website, options.debug);
  if (status) status->Stop();
  if (options.json) {
    PrintJson(view, result, out);
  } else {
    out << ToUtf8(FindingsText(view, u"\n"));
  }
  out.flush();
  // A reader that went away (EPIPE) has not had the findings.
  if (!out || !err) return kExitFailed;
  switch (result.outcome) {
    case RunOutcome::Completed: return kExitCompleted;
    case RunOutcome::Closed: return kExitClosed;
    default: return kExitFailed;
  }
}

}  // namespace keldo
