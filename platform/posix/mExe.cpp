#include "mExe.h"

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "Paths.h"

namespace ombrix::mExe {

namespace {

std::vector<std::string> splitAtBlanks(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t blank = text.find(' ', start);
        const std::size_t end = blank == std::string::npos ? text.size() : blank;
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Starts argv[0] with `arguments` in `workingFolder` and returns at once. The
// intermediate child exits straight away and is reaped here, so the program
// is adopted by init and never becomes our zombie. Everything the children need
// is built before fork, so they only make async-signal-safe calls.
void spawnDetached(const std::vector<std::string>& arguments, const std::string& workingFolder)
{
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0)
        return;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0)
                _exit(127);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        _exit(0);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

}  // namespace

void ShellOpen(const std::string& file, const std::string& parameters, int /*showMode*/)
{
    std::vector<std::string> arguments{file};
    for (std::string& part : splitAtBlanks(parameters))
        arguments.push_back(std::move(part));
    spawnDetached(arguments, ProgramFolder());
}

void OpenFileManager(const std::string& folder)
{
    spawnDetached({"xdg-open", folder.empty() ? homeFolder() : folder}, ProgramFolder());
}

}  // namespace ombrix::mExe
