#pragma once
// Puts a server far away for tests and benchmarks: a TCP proxy on 127.0.0.1 that holds every
// byte, each way, for a one-way delay before passing it on. It can also fall silent, as a link
// that stops carrying anything, and cut its connections, as a link that breaks.
//
// It forwards on a thread of its own, so it keeps going while the caller is blocked in a
// database call or a busy event loop.

#include <QString>

#include <memory>

class DelayProxy {
public:
    DelayProxy(QString targetHost, quint16 targetPort, int oneWayDelayMs);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;

    // Listens on 127.0.0.1:`listenPort` (0: a free port) and starts forwarding; returns the
    // port. Throws std::runtime_error with the reason when the target cannot be resolved or the
    // port cannot be listened on.
    quint16 Start(quint16 listenPort = 0);
    // Closes every connection and the listener; the proxy may be started again.
    void Stop();

    // Applies to bytes read from now on; bytes already held keep the time they were given.
    void SetDelay(int oneWayDelayMs);
    // While silent, bytes are read and held and new connections are accepted but not taken
    // onward; when silence ends, everything held goes on in order.
    void SetSilent(bool silent);
    // Closes both sides of every current connection; returns once they are closed.
    void CutAll();

private:
    class Forwarder;
    std::unique_ptr<Forwarder> forwarder_;
};
