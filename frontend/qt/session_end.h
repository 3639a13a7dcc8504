#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Ending the desktop session is closing the game: SIGTERM (logout, shutdown), SIGHUP (the
// terminal or session went away), SIGINT (Ctrl+C) and the session manager's request to save
// all reach one callback, run from the event loop, never from the signal handler itself. The
// handler only writes the signal's number to a pipe the loop watches. SIGHUP and SIGINT stay
// ignored when the program was started with them ignored (nohup, a background job).
class SessionEnd : public QObject {
    Q_OBJECT

  public:
    explicit SessionEnd(std::function<void()> onEnd, QObject* parent = nullptr);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

    // Whether the signals are watched (the pipe and the handlers could be set up).
    bool watching() const { return notifier_ != nullptr; }

    // The session manager's request to save, which it routes here. Only a desktop session makes
    // the QSessionManager that comes with it, so this takes none.
    void saveRequested() { ended(); }

  private:
    void ended();

    std::function<void()> onEnd_;
    QSocketNotifier* notifier_ = nullptr;
    bool done_ = false;
};
