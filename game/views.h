#pragma once

// A front-end window draws itself from the state of the rules. Whenever the rules may have
// changed something (after an event, before a box or a modal window shows), every live window
// is synced, so what is on screen always matches the state.
class View {
  public:
    View();
    virtual ~View();
    View(const View&) = delete;
    View& operator=(const View&) = delete;
    virtual void sync() = 0;
};

void syncViews();

// Runs an event's handler in the rules, then brings every window up to date.
template <typename Handler>
void forward(Handler&& handler) {
    handler();
    syncViews();
}
