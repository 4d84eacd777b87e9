#pragma once
// Running the built pelorin-cli as a child process, as a user's shell would.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/test_support.h"

namespace pelorin::test {

struct TCliRun {
  int Status = -1;       // exit status, or 128 + signal when a signal ended it
  std::string Out, Err;
};

namespace cli_process_detail {

inline std::vector<char*> Argv(const std::string& program, std::vector<std::string>& args) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

// In the child: working directory, stdin from /dev/null, then exec; never returns.
[[noreturn]] inline void ExecChild(const std::filesystem::path& cwd, std::vector<char*>& argv) {
  if (::chdir(cwd.c_str()) != 0) ::_exit(126);
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull >= 0) ::dup2(devNull, STDIN_FILENO);
  ::execv(argv[0], argv.data());
  ::_exit(127);
}

inline int WaitStatus(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace cli_process_detail

inline std::string CliPath() { return PELORIN_CLI_PATH; }

// Runs pelorin-cli with `args` in `cwd`; standard output and error are captured in files.
inline TCliRun RunCli(std::vector<std::string> args, const std::filesystem::path& cwd) {
  namespace d = cli_process_detail;
  TTempDir capture;
  const std::filesystem::path outPath = capture.Path() / "out", errPath = capture.Path() / "err";
  const std::string program = CliPath();
  std::vector<char*> argv = d::Argv(program, args);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) ::_exit(126);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    d::ExecChild(cwd, argv);
  }
  TCliRun run;
  if (pid < 0) return run;
  run.Status = d::WaitStatus(pid);
  run.Out = ReadFileBytes(outPath);
  run.Err = ReadFileBytes(errPath);
  return run;
}

// Runs pelorin-cli with its standard output on a pipe and sends SIGINT as soon as
// `trigger` has appeared in it, as Ctrl-C would.
inline TCliRun RunCliInterrupted(std::vector<std::string> args, const std::filesystem::path& cwd,
                                 std::string_view trigger, bool* sent = nullptr) {
  namespace d = cli_process_detail;
  TTempDir capture;
  const std::filesystem::path errPath = capture.Path() / "err";
  const std::string program = CliPath();
  std::vector<char*> argv = d::Argv(program, args);
  int pipeFds[2];
  TCliRun run;
  if (::pipe(pipeFds) != 0) return run;
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (err < 0) ::_exit(126);
    ::close(pipeFds[0]);
    ::dup2(pipeFds[1], STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    d::ExecChild(cwd, argv);
  }
  ::close(pipeFds[1]);
  if (pid < 0) {
    ::close(pipeFds[0]);
    return run;
  }
  bool interrupted = false;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    run.Out.append(buffer, static_cast<size_t>(n));
    if (!interrupted && run.Out.find(trigger) != std::string::npos) {
      ::kill(pid, SIGINT);
      interrupted = true;
    }
  }
  ::close(pipeFds[0]);
  run.Status = d::WaitStatus(pid);
  run.Err = ReadFileBytes(errPath);
  if (sent != nullptr) *sent = interrupted;
  return run;
}


}  // namespace pelorin::test
