// programs.cpp - the programs the toolkit runs: found on the PATH, started
// without a shell, their output kept.
#include "programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "base/error.h"

extern char **environ;

namespace wendol::cli {

namespace fs = std::filesystem;

namespace {

// Runs the program with its output appended to `log_file`; no shell, so
// no path is ever quoted.  Returns the exit status.
int run(const std::vector<std::string> &args, const fs::path &log_file)
{
    std::vector<char *> argv;
    for (const std::string &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log_file.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        fail("running " + args[0], "a program that starts", std::strerror(spawned));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            fail("running " + args[0], "a program to wait for", std::strerror(errno));
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string file_text(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

void step(const std::vector<std::string> &args, const fs::path &log_file, std::ostream &log,
          const std::string &what)
{
    std::string line;
    for (const std::string &a : args)
        line += (line.empty() ? "" : " ") + a;
    fs::remove(log_file);
    const int status = run(args, log_file);
    if (status == 0)
        return;
    // Only a step that failed has anything to say to the user.
    log << "$ " << line << "\n" << file_text(log_file);
    fail(what, "exit status 0", std::to_string(status) + " (the output is above, and in " +
                                    log_file.string() + ")");
}

std::optional<fs::path> on_path(std::string_view name)
{
    const char *path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0 && !fs::is_directory(candidate))
            return candidate;
    }
    return std::nullopt;
}

}  // namespace wendol::cli
