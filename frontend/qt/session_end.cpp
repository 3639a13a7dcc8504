#include "frontend/qt/session_end.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int pipeEnds[2] = {-1, -1};

extern "C" void onSignal(int sig) {
    const int saved = errno;
    const char byte = static_cast<char>(sig);
    // Non-blocking: when the pipe is full the loop has been told already.
    [[maybe_unused]] const ssize_t n = write(pipeEnds[1], &byte, 1);
    errno = saved;
}

bool openPipe() {
    if (pipeEnds[0] >= 0) return true;
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) == 0) return true;
    pipeEnds[0] = pipeEnds[1] = -1;
    return false;
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onEnd_(std::move(onEnd)) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &SessionEnd::saveRequested);
    }
    if (!openPipe()) return;
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char drained[64];
        while (read(pipeEnds[0], drained, sizeof drained) > 0) {
        }
        ended();
    });
    for (const int sig : kSignals) {
        struct sigaction now {};
        if (sigaction(sig, nullptr, &now) != 0) continue;
        if (now.sa_handler == SIG_IGN && sig != SIGTERM) continue;
        struct sigaction act {};
        act.sa_handler = onSignal;
        sigemptyset(&act.sa_mask);
        act.sa_flags = SA_RESTART;
        sigaction(sig, &act, nullptr);
    }
}

SessionEnd::~SessionEnd() {
    if (!notifier_) return;
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (const int sig : kSignals) {
        struct sigaction now {};
        if (sigaction(sig, nullptr, &now) == 0 && now.sa_handler == onSignal) {
            sigaction(sig, &dfl, nullptr);
        }
    }
}

void SessionEnd::ended() {
    // A second signal while the first is being handled changes nothing.
    if (done_) return;
    done_ = true;
    if (onEnd_) onEnd_();
}
