// One removal into the quarantine against one plain delete, file by file, as
// the walk makes them: each taken relative to its opened folder. Run by
// bench/quarantine-cost in a mount namespace of its own, on a tmpfs of its own
// (FOLDER), with the data home on another one.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Quarantine.h"

namespace {

using Clock = std::chrono::steady_clock;

// Makes `count` files of `size` bytes in the folder `fd`.
void makeFiles(int fd, int count, std::size_t size)
{
    const std::string content(size, 'x');
    for (int i = 0; i < count; ++i) {
        const int file = ::openat(fd, ("f" + std::to_string(i)).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        (void)!::write(file, content.data(), content.size());
        ::close(file);
    }
}

// Seconds for removing every file of the folder one way or the other.
double removeAll(int fd, int count, bool quarantine)
{
    const ombrix::quarantine::Origin origin{"Bench", "1", "immediate repair", "bench"};
    const auto began = Clock::now();
    for (int i = 0; i < count; ++i) {
        const std::string name = "f" + std::to_string(i);
        const bool gone = quarantine ? ombrix::quarantine::Take({fd, name.c_str()}, "/bench/" + name, origin)
                                     : ::unlinkat(fd, name.c_str(), 0) == 0;
        if (!gone) {
            std::fprintf(stderr, "could not remove %s\n", name.c_str());
            std::exit(1);
        }
    }
    return std::chrono::duration<double>(Clock::now() - began).count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench-quarantine FOLDER FILES SIZE ROUNDS\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_DIRECTORY);
    const int count = std::atoi(argv[2]);
    const std::size_t size = std::size_t(std::atol(argv[3]));
    const int rounds = std::atoi(argv[4]);
    std::vector<double> deletes, takes;
    for (int round = 0; round < rounds; ++round) {
        makeFiles(fd, count, size);
        deletes.push_back(removeAll(fd, count, false));
        makeFiles(fd, count, size);
        takes.push_back(removeAll(fd, count, true));
        ombrix::quarantine::PurgeTakenBefore(INT64_MAX);
    }
    std::sort(deletes.begin(), deletes.end());
    std::sort(takes.begin(), takes.end());
    const double remove = deletes[deletes.size() / 2] / count;
    const double take = takes[takes.size() / 2] / count;
    std::printf("plain delete              %8.1f us a file\n", remove * 1e6);
    std::printf("into the quarantine       %8.1f us a file\n", take * 1e6);
    std::printf("quarantine / delete       %8.2fx   (goal <= 1.5x)\n", take / remove);
    return 0;
}
