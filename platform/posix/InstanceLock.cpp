#include "InstanceLock.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <linux/sock_diag.h>
#include <linux/unix_diag.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string_view>
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

// The user whose socket is bound to `address`, listening or not, as the kernel
// keeps it (sock_diag): a holder that takes no connection (stopped, or between
// bind and listen) still has one. Gone when no such socket is bound; Silent
// when the kernel cannot say.
Owner boundOwner(const sockaddr_un& address, socklen_t length, uid_t& uid)
{
    const int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC, NETLINK_SOCK_DIAG);
    if (fd < 0)
        return Owner::Silent;
    struct {
        nlmsghdr header;
        unix_diag_req request;
    } message{};
    message.header.nlmsg_len = sizeof message;
    message.header.nlmsg_type = SOCK_DIAG_BY_FAMILY;
    message.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message.request.sdiag_family = AF_UNIX;
    // Only the bound socket itself: connections queued on it carry its name too.
    message.request.udiag_states = (1u << TCP_LISTEN) | (1u << TCP_CLOSE);
    message.request.udiag_show = UDIAG_SHOW_NAME | UDIAG_SHOW_UID;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    Owner owner = Owner::Silent;
    if (::sendto(fd, &message, sizeof message, 0, reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        ::close(fd);
        return owner;
    }
    const std::string_view wanted(address.sun_path, length - offsetof(sockaddr_un, sun_path));
    bool seen = false;
    bool done = false;
    alignas(nlmsghdr) char buffer[32768];
    while (!done) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        auto left = static_cast<unsigned>(got);
        for (auto* header = reinterpret_cast<nlmsghdr*>(buffer); NLMSG_OK(header, left);
             header = NLMSG_NEXT(header, left)) {
            if (header->nlmsg_type == NLMSG_ERROR || header->nlmsg_type == NLMSG_DONE) {
                seen = seen || header->nlmsg_type == NLMSG_DONE;
                done = true;
                break;
            }
            const auto* diag = static_cast<const unix_diag_msg*>(NLMSG_DATA(header));
            auto attributeBytes = static_cast<int>(header->nlmsg_len - NLMSG_LENGTH(sizeof *diag));
            std::string_view name;
            std::optional<uid_t> user;
            for (auto* attribute = reinterpret_cast<rtattr*>(const_cast<unix_diag_msg*>(diag) + 1);
                 RTA_OK(attribute, attributeBytes); attribute = RTA_NEXT(attribute, attributeBytes)) {
                if (attribute->rta_type == UNIX_DIAG_NAME)
                    name = {static_cast<const char*>(RTA_DATA(attribute)), RTA_PAYLOAD(attribute)};
                else if (attribute->rta_type == UNIX_DIAG_UID && RTA_PAYLOAD(attribute) >= sizeof(uid_t))
                    std::memcpy(&user.emplace(), RTA_DATA(attribute), sizeof(uid_t));
            }
            if (name == wanted && user) {
                uid = *user;
                owner = uid == ::getuid() ? Owner::ThisUser : Owner::OtherUser;
            }
        }
    }
    ::close(fd);
    return owner == Owner::Silent && seen ? Owner::Gone : owner;
}

// Who listens on the name, by the credentials the kernel gives a connection, or
// when the holder takes none, by the socket the kernel holds for it.
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
    } else if (errno == ENOENT) {
        owner = Owner::Gone;
    } else if (errno == EAGAIN || errno == ECONNREFUSED) {
        // EAGAIN: listening, but its queue is full (a stopped copy is asked
        // again and again). ECONNREFUSED: bound and not listening yet.
        const bool full = errno == EAGAIN;
        owner = boundOwner(address, length, uid);
        if (owner == Owner::ThisUser && !full)
            owner = Owner::Silent;
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
    // Still this user's, or a name the kernel would not say more of: a copy
    // that starts or is stopped; never run beside it.
    return std::nullopt;
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
