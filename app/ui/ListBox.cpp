#include "ui/ListBox.h"

namespace tidewell::ui {

void ListBox::AddItem(std::string item) {
    items_.push_back(std::move(item));
    Notify(Change::Items);
}

void ListBox::AddItems(std::vector<std::string> items) {
    if (items.empty()) {
        return;
    }
    items_.reserve(items_.size() + items.size());
    for (std::string& item : items) {
        items_.push_back(std::move(item));
    }
    Notify(Change::Items);
}

void ListBox::Clear() {
    if (items_.empty() && listIndex_ == -1) {
        return;
    }
    items_.clear();
    listIndex_ = -1;
    Notify(Change::Items);
}

std::string ListBox::List(int index) const {
    if (index < 0 || index >= ListCount()) {
        return {};
    }
    return items_[static_cast<std::size_t>(index)];
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount() || index == listIndex_) {
        return;
    }
    listIndex_ = index;
    Notify(Change::Value);
    if (onClick_) {
        onClick_();
    }
}

} // namespace tidewell::ui
