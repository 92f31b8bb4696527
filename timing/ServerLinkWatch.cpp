#include "timing/ServerLinkWatch.h"

#include <algorithm>

ServerLinkWatch::Change ServerLinkWatch::Report(const QString& link, const QString& trouble) {
    if (trouble.isEmpty()) {
        failing_.remove(link);
    } else {
        Failing& failing = failing_[link];
        if (!failing.since.isValid())
            failing.since.start();
        failing.trouble = trouble;
    }
    if (!lost_ && AnyFailingLong()) {
        lost_ = true;
        return Change::Lost;
    }
    if (lost_ && failing_.isEmpty()) {
        lost_ = false;
        return Change::Back;
    }
    return Change::None;
}

QString ServerLinkWatch::Trouble() const {
    return failing_.isEmpty() ? QString() : failing_.first().trouble;
}

bool ServerLinkWatch::AnyFailingLong() const {
    return std::any_of(failing_.begin(), failing_.end(),
                       [](const Failing& failing) { return failing.since.elapsed() >= GraceMs; });
}
