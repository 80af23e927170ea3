#include "shell/FormHandOver.h"

#include "model/FormLayoutFile.h"
#include "storage/WalletFile.h"
#include "views/CardServices.h"
#include "views/UiContext.h"

namespace tw::shell {

namespace {

constexpr std::uint32_t kErrorCaption = 20500;
constexpr std::uint32_t kInfoCaption = 20001;
constexpr std::uint32_t kCannotRead = 22070;
constexpr std::uint32_t kOpenWalletFirst = 25763;

}  // namespace

bool offerFormImport(const ui::UiContext& ui, WalletFile& wallet, const std::string& path) {
    if (!wallet.isOpen()) {
        ui.message(kOpenWalletFirst, kInfoCaption, Buttons::Ok, Icon::Information);
        return false;
    }
    const FormLayoutResult result = importForm(wallet, path, tw::ui::systemLocalePatterns());
    if (result == FormLayoutResult::Ok) return true;
    if (result != FormLayoutResult::Declined) ui.message(kCannotRead, kErrorCaption, Buttons::Ok, Icon::Stop);
    return false;
}

}  // namespace tw::shell
