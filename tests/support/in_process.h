// in_process.h - runs the command line's program in this process, with
// std::cout and std::cerr kept: a few milliseconds a run instead of a
// process each, and a sanitizer report lands in the test.
#pragma once

#include <chrono>
#include <exception>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/program.h"

namespace wendol::test {

struct InProcessRun {
    int exit_code = -1;
    std::string out, err;
    std::string escaped;   // what escaped run_program, if anything did
    double seconds = 0;
};

// Runs `wendol ARGS...`.
inline InProcessRun run_in_process(std::vector<std::string> args)
{
    std::ostringstream out, err;
    std::streambuf *const old_out = std::cout.rdbuf(out.rdbuf());
    std::streambuf *const old_err = std::cerr.rdbuf(err.rdbuf());
    args.insert(args.begin(), "wendol");
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    InProcessRun run;
    const auto start = std::chrono::steady_clock::now();
    try {
        run.exit_code = cli::run_program(argv);
    } catch (const std::exception &e) {
        run.escaped = e.what();
    } catch (...) {
        run.escaped = "an exception that is no std::exception";
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout.rdbuf(old_out);
    std::cerr.rdbuf(old_err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

}  // namespace wendol::test
