#include "game/views.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<View*>& live() {
    static std::vector<View*> views;
    return views;
}

}  // namespace

View::View() {
    live().push_back(this);
}

View::~View() {
    auto& views = live();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
}

void syncViews() {
    const std::vector<View*> views = live();  // a sync never opens or closes a window
    for (View* view : views) view->sync();
}
