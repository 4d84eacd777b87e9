// pelorin-cli: the desktop program's job without a window.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "cli/cli_job.h"
#include "cli/cli_options.h"
#include "cli/cli_sink.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

int Fail(const std::string& text, int status) {
  std::fprintf(stderr, "pelorin-cli: %s\n", text.c_str());
  return status;
}

int Main(int argc, char** argv) {
  using namespace pelorin::cli;
  const TParseResult parsed = ParseCliOptions(std::vector<std::string>(argv + 1, argv + argc));
  switch (parsed.Status) {
    case TParseStatus::Help:
      std::fputs(CliHelpText().c_str(), stdout);
      return std::fflush(stdout) == 0 ? kExitOk : kExitOutput;
    case TParseStatus::UsageError:
      Fail(parsed.Error, kExitUsage);
      return Fail("try 'pelorin-cli --help'", kExitUsage);
    case TParseStatus::BadMoment:
      return Fail(parsed.Error, kExitBadWindow);
    case TParseStatus::Ok:
      break;
  }

  TCliIo io;
  std::error_code ec;
  io.StartupDir = std::filesystem::current_path(ec).string();
  if (ec) return Fail("cannot find the working directory: " + ec.message(), kExitOutput);
  if (io.StartupDir.empty() || io.StartupDir.back() != '/') io.StartupDir += '/';
  io.ProgressBar = ::isatty(STDERR_FILENO) == 1;
  io.Stop = &g_stop;
  InstallInterruptHandler(&g_stop);

  const int status = RunCliJob(parsed.Options, io);
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    return Fail("cannot write the standard output", status == kExitOk ? kExitOutput : status);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("pelorin-cli: out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelorin-cli: internal error: %s\n", e.what());
  } catch (...) {
    std::fputs("pelorin-cli: internal error\n", stderr);
  }
  return pelorin::cli::kExitInternal;
}
