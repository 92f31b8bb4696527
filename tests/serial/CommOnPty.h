#pragma once
// A component on its own pseudo-terminal, reached through a port-number override.

#include "PtyPair.h"
#include "serial/CommX.h"
#include "serial/PortNames.h"

#include <QTest>
#include <gtest/gtest.h>

class CommOnPty : public ::testing::Test {
protected:
    // Beyond every device family, so only the override names it.
    static constexpr int kPort = 200;

    void SetUp() override {
        SetPortPathOverride(kPort, pty.SlavePath());
        comm.SetPortNo(kPort);
    }
    void TearDown() override {
        comm.Close();
        ClearPortPathOverrides();
    }

    PtyPair pty;
    TCommX comm;
};

// Waits with the owner thread's events running.
template <typename Predicate> bool WaitFor(Predicate predicate, int timeoutMs = 3000) {
    return QTest::qWaitFor(predicate, timeoutMs);
}

// Message of the ECommError that `action` raises, empty when it raises none.
template <typename Action> QString CommErrorOf(Action action) {
    try {
        action();
    } catch (const ECommError& e) {
        return e.message();
    }
    return {};
}
