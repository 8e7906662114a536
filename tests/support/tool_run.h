#pragma once
// Runs one of the built command-line tools (from the build folder named by VANTOR_BUILD_DIR) and
// collects its exit status, standard output and standard error.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_folder.h"

namespace tool_run {

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// Writes `text` to a new file at `path`, byte for byte.
inline void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Runs `tool` (the path under the build folder) once for each entry of `argumentLists` (each
// already quoted for the shell), all at the same time, and returns their runs in the same order.
// Runs that take long each (a race drawn at a large scale) finish together sooner on a machine
// with more than one core.
inline std::vector<ToolRun> runToolTogether(const std::string& tool,
                                            const std::vector<std::string>& argumentLists)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    EXPECT_NE(buildDir, nullptr) << "VANTOR_BUILD_DIR is not set";
    std::vector<ToolRun> runs(argumentLists.size());
    std::vector<FILE*> pipes;
    for (size_t i = 0; i < argumentLists.size(); ++i) {
        const std::string errFile = testFolder() + "stderr" + std::to_string(i) + ".txt";
        const std::string command = std::string(buildDir != nullptr ? buildDir : ".") + "/" + tool +
                                    " " + argumentLists[i] + " 2>" + errFile;
        pipes.push_back(popen(command.c_str(), "r"));
    }
    for (size_t i = 0; i < pipes.size(); ++i) {
        if (pipes[i] == nullptr)
            continue;
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipes[i])) > 0)
            runs[i].out.append(buffer, got);
        const int status = pclose(pipes[i]);
        runs[i].status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        runs[i].err = readFile(testFolder() + "stderr" + std::to_string(i) + ".txt");
    }
    return runs;
}

// `tool` is the path under the build folder, `arguments` already quoted for the shell.
inline ToolRun runTool(const std::string& tool, const std::string& arguments)
{
    return runToolTogether(tool, {arguments}).front();
}

// Each bad argument list must give status 2, the usage line first on standard error, then the
// line that names the wrong argument, and nothing on standard output.
inline void expectRefused(const std::string& tool, const std::vector<std::string>& bad,
                          const std::string& usage)
{
    for (const std::string& arguments : bad) {
        const ToolRun run = runTool(tool, arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.err.rfind(usage, 0), 0u) << arguments << "\n" << run.err;
        EXPECT_NE(run.err.find(": wrong argument: "), std::string::npos) << arguments << "\n"
                                                                         << run.err;
        EXPECT_EQ(run.out, "") << arguments;
    }
}

// The refusal of `arguments` names `wrong`: "...: wrong argument: WRONG...".
inline void expectRefusalNames(const std::string& tool, const std::string& arguments,
                               const std::string& wrong)
{
    const ToolRun run = runTool(tool, arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.err.find(": wrong argument: " + wrong), std::string::npos) << arguments << "\n"
                                                                             << run.err;
}

// Runs a copy of the built tool from a folder of the test's own, outside the source tree, where
// no gfx folder is found; the copy is removed again.
inline ToolRun runToolWithoutPictures(const std::string& tool, const std::string& arguments)
{
    const char* buildDir = std::getenv("VANTOR_BUILD_DIR");
    const std::string bare = testFolder() + "bare";
    const std::string copy = bare + "/" + tool.substr(tool.rfind('/') + 1);
    const std::string made = "mkdir -p '" + bare + "' && cp '" +
                             std::string(buildDir != nullptr ? buildDir : ".") + "/" + tool +
                             "' '" + copy + "'";
    EXPECT_EQ(std::system(made.c_str()), 0) << made;
    ToolRun run;
    const std::string errFile = testFolder() + "stderr.txt";
    const std::string command =
        "cd '" + bare + "' && '" + copy + "' " + arguments + " >/dev/null 2>" + errFile;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readFile(errFile);
    std::remove(copy.c_str());
    return run;
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace tool_run
