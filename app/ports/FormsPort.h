#pragma once

#include "ports/WindowView.h"

#include <memory>
#include <string_view>

namespace tidewell {

// Makes the real windows of forms (see ui/Form.h, which pairs each view with its core).
class FormsPort {
public:
    virtual ~FormsPort() = default;
    // A hidden top-level window with this caption and a client area in twips.
    virtual std::unique_ptr<WindowView> CreateView(std::string_view caption, int clientWidthTwips,
                                                   int clientHeightTwips) = 0;
};

} // namespace tidewell
