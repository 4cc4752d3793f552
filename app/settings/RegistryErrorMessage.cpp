#include "settings/RegistryErrorMessage.h"

namespace tidewell {

void ShowRegistryError(MessageBoxPort& messageBox) {
    messageBox.Show(kRegistryErrorText, kRegistryErrorFlags, kRegistryErrorTitle);
}

} // namespace tidewell
