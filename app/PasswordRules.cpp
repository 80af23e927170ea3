#include "app/PasswordRules.h"

namespace tw::app {

std::optional<PasswordRefusal> checkNewPassword(std::u16string_view password, std::u16string_view confirmation) {
    if (password.empty()) return PasswordRefusal{27003, 20500, Icon::Stop};
    if (password.size() != confirmation.size()) return PasswordRefusal{27004, 20500, Icon::Warning};
    if (password.size() < kMinNewPassword) return PasswordRefusal{27007, 20500, Icon::Stop};
    if (password != confirmation) return PasswordRefusal{27004, 20500, Icon::Warning};
    return std::nullopt;
}

}  // namespace tw::app
