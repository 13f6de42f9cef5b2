// The tab strip's collection operations.
#include "app/Controls.h"

namespace quorvel::app {

void TabStrip::Remove(int index) {
    tabs.erase(tabs.begin() + (index - 1));
    // The common control keeps a selection only among the tabs that remain.
    if (selectedIndex > Count()) {
        selectedIndex = Count();
    }
}

void TabStrip::Add(std::string caption, std::string toolTip) {
    tabs.push_back(Tab{std::move(caption), std::move(toolTip)});
}

}  // namespace quorvel::app
