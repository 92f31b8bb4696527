#include "tools/DelayProxy.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {
// Past this much held in one direction the proxy stops reading that side, and the sender is
// slowed by TCP's own flow control instead of the proxy's memory growing.
constexpr std::size_t kMaxHeldBytes = std::size_t(8) << 20;
constexpr std::size_t kReadSize = std::size_t(64) << 10;

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        Descriptor old(std::move(*this));
        fd_ = std::exchange(other.fd_, -1);
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Fd() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// Small requests and answers are the point of the proxy: Nagle's algorithm would hold them.
void SendAtOnce(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// One direction of a connection: what was read, each piece stamped with when it may leave.
class DelayedStream {
public:
    bool WantsMore() const { return !sourceEnded_ && held_ < kMaxHeldBytes; }
    bool SinkShut() const { return sinkShut_; }
    bool Empty() const { return pieces_.empty(); }
    Clock::time_point NextDue() const { return pieces_.front().due; }
    bool HasDue(Clock::time_point now) const { return !Empty() && NextDue() <= now; }

    // False when the source failed.
    bool ReadFrom(int source, Clock::duration delay) {
        char buffer[kReadSize];
        const ssize_t n = ::recv(source, buffer, sizeof buffer, 0);
        if (n < 0)
            return WouldBlock();
        // An empty piece is the end of the stream, passed on as a half-close.
        pieces_.push_back({Clock::now() + delay, std::string(buffer, std::size_t(n))});
        held_ += std::size_t(n);
        sourceEnded_ = n == 0;
        return true;
    }

    // Sends the pieces due by `now`, as far as the sink takes them; false when the sink failed.
    bool SendDue(int sink, Clock::time_point now) {
        while (HasDue(now)) {
            Piece& piece = pieces_.front();
            if (piece.bytes.empty()) {
                if (::shutdown(sink, SHUT_WR) != 0)
                    return false;
                sinkShut_ = true;
            } else {
                const ssize_t n = ::send(sink, piece.bytes.data() + piece.sent,
                                         piece.bytes.size() - piece.sent, MSG_NOSIGNAL);
                if (n < 0)
                    return WouldBlock();
                piece.sent += std::size_t(n);
                held_ -= std::size_t(n);
                if (piece.sent < piece.bytes.size())
                    return true;
            }
            pieces_.pop_front();
        }
        return true;
    }

private:
    struct Piece {
        Clock::time_point due;
        std::string bytes;
        std::size_t sent = 0;
    };
    std::deque<Piece> pieces_;
    std::size_t held_ = 0;
    bool sourceEnded_ = false;
    bool sinkShut_ = false;
};

// A client's connection and the one made for it to the target.
struct Pair {
    Descriptor client;
    Descriptor server;
    Clock::time_point connectAt;
    bool connected = false;
    bool broken = false;
    DelayedStream up;
    DelayedStream down;

    bool Finished() const { return broken || (up.SinkShut() && down.SinkShut()); }
};

pollfd Watch(const Descriptor& socket, short events) {
    // A socket with nothing asked of it stays out, or a hang-up it reports would wake every turn.
    return {events != 0 ? socket.Fd() : -1, events, 0};
}

bool Woken(const pollfd& watched) {
    return watched.revents != 0;
}

bool Readable(const pollfd& watched) {
    return (watched.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
}

Descriptor NonBlockingSocket(int family) {
    return Descriptor(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}
} // namespace

class DelayProxy::Forwarder {
public:
    Forwarder(std::string host, quint16 port, int delayMs)
        : host_(std::move(host)), port_(port), delayMs_(delayMs) {}
    ~Forwarder() { Stop(); }

    quint16 Start(quint16 listenPort) {
        if (thread_.joinable())
            throw std::runtime_error("the delay proxy is already running");
        ResolveTarget();
        listener_ = Listen(listenPort);
        wake_ = Descriptor(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
        if (!wake_.Valid())
            Fail("eventfd");
        stopping_ = false;
        {
            std::lock_guard lock(mutex_);
            running_ = true;
        }
        thread_ = std::thread([this] { Run(); });
        return PortOf(listener_);
    }

    void Stop() {
        if (!thread_.joinable())
            return;
        stopping_ = true;
        Wake();
        thread_.join();
        listener_ = {};
        wake_ = {};
    }

    void SetDelay(int ms) { delayMs_ = ms; }

    void SetSilent(bool silent) {
        silent_ = silent;
        Wake();
    }

    void CutAll() {
        std::unique_lock lock(mutex_);
        if (!running_)
            return;
        const auto ticket = ++cutsAsked_;
        Wake();
        cutsMade_.wait(lock, [&] { return cutsDone_ >= ticket; });
    }

private:
    void ResolveTarget() {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int failure =
            ::getaddrinfo(host_.c_str(), std::to_string(port_).c_str(), &hints, &found);
        if (failure != 0)
            throw std::runtime_error("cannot resolve " + host_ + ": " + ::gai_strerror(failure));
        std::memcpy(&target_, found->ai_addr, found->ai_addrlen);
        targetLength_ = found->ai_addrlen;
        ::freeaddrinfo(found);
    }

    static Descriptor Listen(quint16 port) {
        Descriptor listener = NonBlockingSocket(AF_INET);
        if (!listener.Valid())
            Fail("socket");
        const int on = 1;
        ::setsockopt(listener.Fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const std::string where = "listen on 127.0.0.1:" + std::to_string(port);
        if (::bind(listener.Fd(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            Fail(where);
        if (::listen(listener.Fd(), SOMAXCONN) != 0)
            Fail(where);
        return listener;
    }

    static quint16 PortOf(const Descriptor& listener) {
        sockaddr_in address{};
        socklen_t length = sizeof address;
        if (::getsockname(listener.Fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
            Fail("getsockname");
        return ntohs(address.sin_port);
    }

    void Wake() {
        const std::uint64_t one = 1;
        // Only fails when the counter is already full, and then the loop wakes anyway.
        if (wake_.Valid())
            (void)!::write(wake_.Fd(), &one, sizeof one);
    }

    Clock::duration Delay() const { return std::chrono::milliseconds(delayMs_.load()); }

    void Run() {
        while (!stopping_) {
            const Clock::time_point now = Clock::now();
            MakeAskedCuts();
            const bool silent = silent_;
            if (!silent)
                MoveOn(now);
            pairs_.remove_if([](const Pair& pair) { return pair.Finished(); });
            if (!WaitAndRead(now, silent))
                break;
        }
        std::lock_guard lock(mutex_);
        pairs_.clear();
        running_ = false;
        cutsDone_ = cutsAsked_;
        cutsMade_.notify_all();
    }

    void MakeAskedCuts() {
        std::lock_guard lock(mutex_);
        if (cutsDone_ == cutsAsked_)
            return;
        pairs_.clear();
        cutsDone_ = cutsAsked_;
        cutsMade_.notify_all();
    }

    // Connects the pairs whose time has come and sends what is due.
    void MoveOn(Clock::time_point now) {
        for (Pair& pair : pairs_) {
            if (pair.Finished())
                continue;
            if (!pair.server.Valid() && pair.connectAt <= now)
                Connect(pair);
            if (pair.connected)
                pair.broken = !pair.up.SendDue(pair.server.Fd(), now) ||
                              !pair.down.SendDue(pair.client.Fd(), now);
        }
    }

    void Connect(Pair& pair) {
        pair.server = NonBlockingSocket(target_.ss_family);
        // With no socket to spare the client is let go, as by a refused connection.
        if (!pair.server.Valid()) {
            pair.broken = true;
            return;
        }
        SendAtOnce(pair.server.Fd());
        if (::connect(pair.server.Fd(), reinterpret_cast<const sockaddr*>(&target_),
                      targetLength_) == 0)
            pair.connected = true;
        else
            pair.broken = errno != EINPROGRESS;
    }

    static void FinishConnect(Pair& pair) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(pair.server.Fd(), SOL_SOCKET, SO_ERROR, &error, &length);
        if (error == 0)
            pair.connected = true;
        else
            pair.broken = true;
    }

    // The reading is done here too so that each piece is stamped as soon as it arrives.
    bool WaitAndRead(Clock::time_point now, bool silent) {
        std::vector<pollfd> watched{{wake_.Fd(), POLLIN, 0}, {listener_.Fd(), POLLIN, 0}};
        for (const Pair& pair : pairs_) {
            watched.push_back(Watch(pair.client, ClientEvents(pair, now, silent)));
            watched.push_back(Watch(pair.server, ServerEvents(pair, now, silent)));
        }
        const auto due = silent ? std::nullopt : NextDue(now);
        timespec timeout{};
        if (due) {
            const auto wait = std::chrono::nanoseconds(std::max(*due - now, Clock::duration{}));
            timeout = {time_t(wait.count() / 1'000'000'000), long(wait.count() % 1'000'000'000)};
        }
        if (::ppoll(watched.data(), watched.size(), due ? &timeout : nullptr, nullptr) < 0) {
            if (errno == EINTR)
                return true;
            // Nothing can be forwarded any more; the connections close so that clients notice.
            std::fprintf(stderr, "delay proxy stops: ppoll: %s\n", std::strerror(errno));
            return false;
        }
        if (Woken(watched[0])) {
            std::uint64_t count = 0;
            // Only empties the counter; with nothing in it there is nothing to do.
            (void)!::read(wake_.Fd(), &count, sizeof count);
        }
        auto pairWatched = watched.begin() + 2;
        for (Pair& pair : pairs_) {
            Read(pair, *pairWatched, *(pairWatched + 1));
            pairWatched += 2;
        }
        if (Woken(watched[1]))
            Accept();
        return true;
    }

    static short ClientEvents(const Pair& pair, Clock::time_point now, bool silent) {
        return short((pair.up.WantsMore() ? POLLIN : 0) |
                     (!silent && pair.down.HasDue(now) ? POLLOUT : 0));
    }

    static short ServerEvents(const Pair& pair, Clock::time_point now, bool silent) {
        if (!pair.server.Valid())
            return 0;
        if (!pair.connected)
            return POLLOUT;
        return short((pair.down.WantsMore() ? POLLIN : 0) |
                     (!silent && pair.up.HasDue(now) ? POLLOUT : 0));
    }

    // The earliest time something is to be connected or sent, if any.
    std::optional<Clock::time_point> NextDue(Clock::time_point now) const {
        std::optional<Clock::time_point> earliest;
        const auto consider = [&](Clock::time_point due) {
            if (!earliest || due < *earliest)
                earliest = due;
        };
        for (const Pair& pair : pairs_) {
            if (!pair.server.Valid())
                consider(pair.connectAt);
            if (!pair.connected)
                continue;
            // A piece still due after sending waits for POLLOUT instead.
            for (const DelayedStream* stream : {&pair.up, &pair.down})
                if (!stream->Empty() && !stream->HasDue(now))
                    consider(stream->NextDue());
        }
        return earliest;
    }

    void Read(Pair& pair, const pollfd& client, const pollfd& server) {
        if (pair.connected) {
            if (Readable(server) && pair.down.WantsMore())
                pair.broken = pair.broken || !pair.down.ReadFrom(server.fd, Delay());
        } else if (Woken(server)) {
            FinishConnect(pair);
        }
        if (Readable(client) && pair.up.WantsMore())
            pair.broken = pair.broken || !pair.up.ReadFrom(client.fd, Delay());
    }

    void Accept() {
        for (;;) {
            const int fd =
                ::accept4(listener_.Fd(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            // Besides an empty queue, a failure is a client that gave up before it was taken;
            // the ones behind it are taken next turn.
            if (fd < 0)
                return;
            SendAtOnce(fd);
            Pair& pair = pairs_.emplace_back();
            pair.client = Descriptor(fd);
            // The far side hears of a connection one way later, as over a real link.
            pair.connectAt = Clock::now() + Delay();
        }
    }

    const std::string host_;
    const quint16 port_;
    sockaddr_storage target_{};
    socklen_t targetLength_ = 0;

    std::atomic<int> delayMs_;
    std::atomic<bool> silent_{false};
    std::atomic<bool> stopping_{false};

    std::mutex mutex_;
    std::condition_variable cutsMade_;
    std::uint64_t cutsAsked_ = 0;
    std::uint64_t cutsDone_ = 0;
    bool running_ = false;

    Descriptor listener_;
    Descriptor wake_;
    // Only the forwarding thread touches the pairs.
    std::list<Pair> pairs_;
    std::thread thread_;
};

DelayProxy::DelayProxy(QString targetHost, quint16 targetPort, int oneWayDelayMs)
    : forwarder_(std::make_unique<Forwarder>(targetHost.toStdString(), targetPort, oneWayDelayMs)) {
}

DelayProxy::~DelayProxy() = default;

quint16 DelayProxy::Start(quint16 listenPort) {
    return forwarder_->Start(listenPort);
}

void DelayProxy::Stop() {
    forwarder_->Stop();
}

void DelayProxy::SetDelay(int oneWayDelayMs) {
    forwarder_->SetDelay(oneWayDelayMs);
}

void DelayProxy::SetSilent(bool silent) {
    forwarder_->SetSilent(silent);
}

void DelayProxy::CutAll() {
    forwarder_->CutAll();
}
