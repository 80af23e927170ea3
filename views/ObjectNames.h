#pragma once

#include <QLatin1StringView>

// Object names of the widgets that tests, the end-to-end test and the screenshots program look
// up. One list, so that a rename cannot leave a test looking for a widget that is gone.
namespace tw::ui::names {

// The frame of every dialog.
inline constexpr QLatin1StringView kTitleStrip{"titleStrip"};
inline constexpr QLatin1StringView kDoneButton{"doneButton"};
inline constexpr QLatin1StringView kCancelButton{"cancelButton"};

// Password entry and new password.
inline constexpr QLatin1StringView kPasswordEdit{"passwordEdit"};
inline constexpr QLatin1StringView kConfirmEdit{"confirmEdit"};
inline constexpr QLatin1StringView kHintEdit{"hintEdit"};
inline constexpr QLatin1StringView kNumericCheck{"numericCheck"};
inline constexpr QLatin1StringView kTipLabel{"tipLabel"};
// Keypad digits are named kKeypadDigit followed by the digit ("keypadDigit7").
inline constexpr QLatin1StringView kKeypadDigit{"keypadDigit"};
inline constexpr QLatin1StringView kKeypadBack{"keypadBack"};
inline constexpr QLatin1StringView kKeypadClear{"keypadClear"};
inline constexpr QLatin1StringView kKeypadOk{"keypadOk"};

// Security options.
inline constexpr QLatin1StringView kIntervalChooser{"intervalChooser"};
inline constexpr QLatin1StringView kCloseOnSwitchCheck{"closeOnSwitchCheck"};

// Icons, colours and the form chooser.
inline constexpr QLatin1StringView kFormList{"formList"};
inline constexpr QLatin1StringView kColourGrid{"colourGrid"};
inline constexpr QLatin1StringView kColourPreview{"colourPreview"};
inline constexpr QLatin1StringView kTextSizeChooser{"textSizeChooser"};
inline constexpr QLatin1StringView kBackgroundColour{"backgroundColour"};
inline constexpr QLatin1StringView kNameColour{"nameColour"};
inline constexpr QLatin1StringView kValueColour{"valueColour"};
inline constexpr QLatin1StringView kShowPasswordsCheck{"showPasswordsCheck"};
inline constexpr QLatin1StringView kNamesBoldCheck{"namesBoldCheck"};
inline constexpr QLatin1StringView kValuesBoldCheck{"valuesBoldCheck"};
inline constexpr QLatin1StringView kIconList{"iconList"};
inline constexpr QLatin1StringView kImportIconButton{"importIconButton"};
inline constexpr QLatin1StringView kNewIconPreview{"newIconPreview"};
inline constexpr QLatin1StringView kFolderNameEdit{"folderNameEdit"};
inline constexpr QLatin1StringView kFolderIconButton{"folderIconButton"};
inline constexpr QLatin1StringView kDefaultFormLabel{"defaultFormLabel"};
inline constexpr QLatin1StringView kDefaultFormButton{"defaultFormButton"};
inline constexpr QLatin1StringView kMainLevelCheck{"mainLevelCheck"};

// The main window.
inline constexpr QLatin1StringView kMainWindow{"mainWindow"};
inline constexpr QLatin1StringView kWalletTree{"walletTree"};
inline constexpr QLatin1StringView kWalletsAction{"walletsAction"};
inline constexpr QLatin1StringView kExitAction{"exitAction"};

}  // namespace tw::ui::names
