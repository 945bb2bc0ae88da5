// cli_run.h - runs the command-line program the build made (or another of
// its programs) and keeps what it printed, for tests of a command's output.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace wendol::test {

struct CliRun {
    int exit_code = -1;
    std::string output;   // stdout and stderr together
};

// Single quotes keep every argument whole for the shell.
inline std::string shell_quoted(const std::string &text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Which of the program's streams a run keeps.
enum class Streams { Both, ErrorsOnly };

// Runs `program` with `args` through the shell and keeps what it printed.
inline CliRun run_program(const std::string &program, const std::vector<std::string> &args,
                          Streams streams = Streams::Both)
{
    std::string command = shell_quoted(program);
    for (const std::string &arg : args)
        command += " " + shell_quoted(arg);
    command += streams == Streams::Both ? " 2>&1" : " 2>&1 >/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("cannot run " + command);
    CliRun run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// Runs the program the build made, unless WENDOL_CLI names another.
inline CliRun run_cli(const std::vector<std::string> &args, Streams streams = Streams::Both)
{
    const char *named = std::getenv("WENDOL_CLI");
    return run_program(named && *named ? named : WENDOL_CLI_PATH, args, streams);
}

// Expects each of `lines` in what the run printed, in order.
inline void expect_lines_in_order(const CliRun &run, const std::vector<std::string> &lines)
{
    size_t at = 0;
    for (const std::string &line : lines) {
        const size_t found = run.output.find(line, at);
        EXPECT_NE(found, std::string::npos) << "\"" << line << "\" missing in:\n" << run.output;
        if (found != std::string::npos)
            at = found + line.size();
    }
}

// Runs the program with `file` after the command's name and expects its
// exit code and each of `lines` in its output, in order.
inline void expect_lines_for(const std::string &file, std::vector<std::string> args,
                             int exit_code, const std::vector<std::string> &lines)
{
    args.insert(args.begin() + 1, file);
    const CliRun run = run_cli(args);
    EXPECT_EQ(run.exit_code, exit_code) << run.output;
    expect_lines_in_order(run, lines);
}

}  // namespace wendol::test
