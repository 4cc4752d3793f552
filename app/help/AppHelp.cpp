#include "help/AppHelp.h"

namespace tidewell::help {

HTMLHelpAPI& AppHelp::Get() {
    if (!object_) {
        object_ = std::make_unique<HTMLHelpAPI>(ports_);
    }
    return *object_;
}

void AppHelp::CloseAndRelease() {
    Get().HHClose();
    object_.reset();
}

} // namespace tidewell::help
