#include "InstanceLock.h"

#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>
#include <utility>

namespace ombrix {

namespace {

// A copy that has bound the name but not yet listened, or whose queue is
// full, answers within moments; this many tries 5 ms apart is ample.
constexpr int kTries = 40;

sockaddr_un addressOf(const std::string& name, socklen_t& length)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // The leading NUL puts the name in the abstract namespace.
    const std::size_t size = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), size);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

enum class Owner { Gone, ThisUser, OtherUser, Silent };

// Who listens on the name, by the credentials the kernel gives a connection.
Owner ownerOf(const sockaddr_un& address, socklen_t length, uid_t& uid)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return Owner::Silent;
    Owner owner = Owner::Silent;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        ucred credentials{};
        socklen_t size = sizeof credentials;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0) {
            uid = credentials.uid;
            owner = credentials.uid == ::getuid() ? Owner::ThisUser : Owner::OtherUser;
        }
    } else if (errno == ENOENT || errno == ECONNREFUSED) {
        // ECONNREFUSED: bound and not listening, a copy just starting or a stranger.
        owner = errno == ENOENT ? Owner::Gone : Owner::Silent;
    }
    ::close(fd);
    return owner;
}

void pause5ms()
{
    const timespec span{0, 5'000'000};
    ::nanosleep(&span, nullptr);
}

}  // namespace

// "ombrix-" followed by the real user id.
std::string InstanceLock::userLockName()
{
    return "ombrix-" + std::to_string(::getuid());
}

std::optional<InstanceLock> InstanceLock::acquire(const std::string& name)
{
    socklen_t length = 0;
    const sockaddr_un address = addressOf(name, length);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        // Close-on-exec: a program we start (the updater, the file manager)
        // must not inherit the lock and keep it after we end.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return InstanceLock("cannot make a socket: " + std::string(std::strerror(errno)));
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(fd, 16) == 0)
            return InstanceLock(std::make_unique<Holder>(fd));
        const int error = errno;
        ::close(fd);
        if (error != EADDRINUSE)
            return InstanceLock("cannot bind its socket: " + std::string(std::strerror(error)));
        uid_t uid = 0;
        switch (ownerOf(address, length, uid)) {
        case Owner::ThisUser:
            return std::nullopt;
        case Owner::OtherUser:
            return InstanceLock("it is held by a process of user " + std::to_string(uid));
        case Owner::Gone:
            continue;
        case Owner::Silent:
            pause5ms();
            continue;
        }
    }
    return InstanceLock(std::string("no answer from the process that holds it"));
}

// The socket and the thread that answers on it.
struct InstanceLock::Holder {
    explicit Holder(int socket);
    ~Holder();
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    int fd;
    // Accepts and drops the connections other copies make to learn who holds the lock.
    std::thread answerer;
};

InstanceLock::Holder::Holder(int socket) : fd(socket)
{
    // The answerer takes no signal, so SIGINT and SIGTERM interrupt the main thread's waits.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    answerer = std::thread([socket] {
        // Ends when the destructor shuts the socket down.
        for (;;) {
            const int connection = ::accept4(socket, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0)
                ::close(connection);
            else if (errno == EINVAL)
                return;
            else if (errno != EINTR && errno != ECONNABORTED)
                pause5ms();  // out of descriptors, say: try again without spinning
        }
    });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

InstanceLock::Holder::~Holder()
{
    ::shutdown(fd, SHUT_RDWR);
    answerer.join();
    ::close(fd);
}

InstanceLock::InstanceLock(std::unique_ptr<Holder> holder) : holder_(std::move(holder)) {}
InstanceLock::InstanceLock(std::string unusable) : unusable_(std::move(unusable)) {}
InstanceLock::InstanceLock(InstanceLock&& other) noexcept = default;
InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept = default;
InstanceLock::~InstanceLock() = default;

}  // namespace ombrix
