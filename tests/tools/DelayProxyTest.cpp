#include "tools/DelayProxy.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>
#include <stdexcept>
#include <string>
#include <thread>

using namespace std::chrono;

namespace {
constexpr int kDelayMs = 30;
// The test machine may be a slow, shared one: a late byte is allowed this much.
constexpr milliseconds kLateness{40};

sockaddr_in Loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

class Connection {
public:
    explicit Connection(int fd) : fd_(fd) {}
    explicit Connection(quint16 port) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        const sockaddr_in address = Loopback(port);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot connect to the proxy");
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    ~Connection() { ::close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Send(const std::string& bytes) const {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += std::size_t(n);
        }
    }
    void EndSending() const { ::shutdown(fd_, SHUT_WR); }

    // Up to `count` bytes, fewer when the stream ends or `patience` runs out first.
    std::string Receive(std::size_t count, milliseconds patience) const {
        const auto deadline = steady_clock::now() + patience;
        std::string received;
        char buffer[65536];
        while (received.size() < count) {
            const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
            pollfd watched{fd_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&watched, 1, int(left.count())) <= 0)
                break;
            const ssize_t n =
                ::recv(fd_, buffer, std::min(sizeof buffer, count - received.size()), 0);
            if (n <= 0)
                break;
            received.append(buffer, std::size_t(n));
        }
        return received;
    }

    bool ClosedWithin(milliseconds patience) const {
        pollfd watched{fd_, POLLIN, 0};
        char byte = 0;
        return ::poll(&watched, 1, int(patience.count())) == 1 && ::recv(fd_, &byte, 1, 0) <= 0;
    }

    int Fd() const { return fd_; }

private:
    int fd_;
};

// Sends back whatever each connection sends, and ends its side when the client ends its own.
class EchoServer {
public:
    EchoServer() : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        ::bind(listener_.Fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_.Fd(), 16);
        ::getsockname(listener_.Fd(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { AcceptAll(); });
    }
    ~EchoServer() {
        // Wakes the blocked accept; the connections end as the proxy in front closes them.
        ::shutdown(listener_.Fd(), SHUT_RDWR);
        acceptor_.join();
        for (std::thread& echo : echoes_)
            echo.join();
    }

    quint16 Port() const { return port_; }
    int Connections() const { return connections_; }

private:
    void AcceptAll() {
        for (int fd; (fd = ::accept(listener_.Fd(), nullptr, nullptr)) >= 0;) {
            ++connections_;
            echoes_.emplace_back([fd] {
                const Connection connection(fd);
                char buffer[65536];
                for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
                    connection.Send(std::string(buffer, std::size_t(n)));
                connection.EndSending();
            });
        }
    }

    Connection listener_;
    quint16 port_ = 0;
    std::atomic<int> connections_{0};
    std::list<std::thread> echoes_;
    std::thread acceptor_;
};

class DelayProxyTest : public testing::Test {
protected:
    // How long `bytes` take to come back, or the patience when they do not all come back.
    milliseconds RoundTrip(const Connection& client, const std::string& bytes) {
        const auto start = steady_clock::now();
        client.Send(bytes);
        EXPECT_EQ(client.Receive(bytes.size(), 2s), bytes);
        return duration_cast<milliseconds>(steady_clock::now() - start);
    }

    // The fastest of a few round trips, each of which takes at least `least`: a loaded machine
    // can make any one of them late, never early.
    milliseconds FastestRoundTrip(const Connection& client, milliseconds least) {
        milliseconds fastest = milliseconds::max();
        for (int i = 0; i < 4; ++i) {
            const milliseconds took = RoundTrip(client, "ping " + std::to_string(i));
            EXPECT_GE(took, least);
            fastest = std::min(fastest, took);
        }
        return fastest;
    }

    EchoServer echo_;
    DelayProxy proxy_{QStringLiteral("127.0.0.1"), echo_.Port(), kDelayMs};
    const quint16 port_ = proxy_.Start();
};

TEST_F(DelayProxyTest, ARoundTripTakesTheDelayEachWayAndFollowsAChangedDelay) {
    const Connection client(port_);
    EXPECT_LT(FastestRoundTrip(client, 2 * milliseconds(kDelayMs)),
              2 * milliseconds(kDelayMs) + kLateness);
    proxy_.SetDelay(5);
    EXPECT_LT(FastestRoundTrip(client, 10ms), 10ms + kLateness);
}

TEST_F(DelayProxyTest, ALargePayloadAndItsEndComeBackWholeAndInOrder) {
    std::string payload(1 << 20, '\0');
    // A period prime to every buffer size, so that a lost, doubled or swapped block shows.
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = char(i % 251);
    const Connection client(port_);
    std::thread sender([&] {
        client.Send(payload);
        client.EndSending();
    });
    // Asking for one byte more than was sent: only the forwarded end stops the reading early.
    const auto start = steady_clock::now();
    const std::string echoed = client.Receive(payload.size() + 1, 4s);
    const auto took = steady_clock::now() - start;
    sender.join();
    ASSERT_EQ(echoed.size(), payload.size());
    EXPECT_EQ(std::mismatch(echoed.begin(), echoed.end(), payload.begin()).first - echoed.begin(),
              std::ptrdiff_t(payload.size()))
        << "the first byte that differs";
    EXPECT_LT(took, 3s) << "the end was not passed on, so the reading ran out of patience";
}

TEST_F(DelayProxyTest, SilenceHoldsEverythingUntilTheLinkIsBack) {
    const Connection early(port_);
    RoundTrip(early, "before");
    proxy_.SetSilent(true);
    early.Send("held");
    const Connection late(port_);
    late.Send("late");
    EXPECT_EQ(early.Receive(4, 300ms), "");
    EXPECT_EQ(echo_.Connections(), 1) << "a connection went onward during silence";

    proxy_.SetSilent(false);
    EXPECT_EQ(early.Receive(4, 1s), "held");
    EXPECT_EQ(late.Receive(4, 1s), "late");
    EXPECT_EQ(echo_.Connections(), 2);
}

TEST_F(DelayProxyTest, CutAllClosesEveryConnectionAndKeepsListening) {
    const Connection first(port_);
    const Connection second(port_);
    RoundTrip(first, "one");
    RoundTrip(second, "two");
    proxy_.CutAll();
    EXPECT_TRUE(first.ClosedWithin(500ms));
    EXPECT_TRUE(second.ClosedWithin(500ms));

    const Connection after(port_);
    RoundTrip(after, "three");
}

TEST_F(DelayProxyTest, StartSaysWhyItCannotListen) {
    DelayProxy second(QStringLiteral("127.0.0.1"), echo_.Port(), kDelayMs);
    try {
        second.Start(port_);
        FAIL() << "a second proxy listened on a port already taken";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("in use"), std::string::npos) << e.what();
    }
}
} // namespace
