#pragma once

#include "ui/Control.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tidewell::ui {

// An unsorted list box with one selected item or none (ListIndex -1).
//
// SetListIndex is the one way in, for the core and for the view alike: on a change the observer
// is told and then the click behaviour runs, also when the change is to -1; so a selection from
// code runs the behaviour exactly like a user's, and only on a change. The view reflects
// Change::Value with LB_SETCURSEL (no notification back) and hands LBN_SELCHANGE to SetListIndex.
class ListBox : public Control {
public:
    ListBox(std::string name, std::string tipText, Rect bounds)
        : Control(ControlKind::ListBox, std::move(name), {}, std::move(tipText), bounds) {}

    void AddItem(std::string item);
    // Adds every item at the end with one notification, so a view reflects them in one pass.
    void AddItems(std::vector<std::string> items);
    // Empties the list; a selection is dropped without running the click behaviour.
    void Clear();
    int ListCount() const { return static_cast<int>(items_.size()); }
    // The item's text, "" outside the list.
    std::string List(int index) const;
    const std::vector<std::string>& Items() const { return items_; }

    int ListIndex() const { return listIndex_; }
    // An index outside -1 .. ListCount()-1 is ignored.
    void SetListIndex(int index);
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::function<void()> onClick_;
};

} // namespace tidewell::ui
