#include "Gate.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace ombrix::test {

Gate::Gate()
{
    (void)!::pipe2(fds_, O_CLOEXEC);
}

Gate::~Gate()
{
    open();
    ::close(fds_[0]);
}

void Gate::open()
{
    if (fds_[1] >= 0)
        ::close(std::exchange(fds_[1], -1));
}

void Gate::pass() const
{
    // The child's own copy of the write end would keep the pipe from ever ending.
    ::close(fds_[1]);
    char byte;
    while (::read(fds_[0], &byte, 1) < 0 && errno == EINTR) {
    }
}

}  // namespace ombrix::test
