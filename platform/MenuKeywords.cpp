#include "platform/MenuKeywords.h"

#include "platform/Text.h"

namespace tw {

namespace {

// String ids 21000-21199 are the menu captions; resources/lang/*/ui.txt holds their texts.
constexpr MenuKeyword kKeywords[] = {
    // Main window: soft keys, the main menu and its sub-menus, find mode, context menus.
    {u"MENU", 21000},
    {u"FIND", 21001},
    {u"NEW CARD", 21002},
    {u"NEW FOLDER", 21003},
    {u"ADD TO FAVORITES", 21004},
    {u"EDIT", 21005},
    {u"CUT", 21006},
    {u"COPY", 21007},
    {u"PASTE", 21008},
    {u"DELETE", 21009},
    {u"PROPERTIES", 21010},
    {u"SAVE TO MY FORMS", 21011},
    {u"OPTIONS", 21012},
    {u"DISPLAY", 21013},
    {u"SECURITY", 21014},
    {u"CHANGE PASSWORD", 21015},
    {u"EXPANDED MENUS", 21016},
    {u"EXPORT", 21017},
    {u"IMPORT", 21018},
    {u"ABOUT", 21019},
    {u"CHECK FOR UPDATES", 21020},
    {u"HELP", 21021},
    {u"WALLETS", 21022},
    {u"EXIT", 21023},
    {u"GO", 21024},
    {u"CANCEL", 21025},
    {u"CLEAR", 21026},
    {u"IMPORT FORM", 21027},
    {u"REMOVE", 21028},
    {u"RENAME", 21029},
    {u"GO TO CARD", 21030},
    {u"EXPORT FORM", 21031},
    // Wallets manager and dialogs.
    {u"NEW", 21040},
    {u"OPEN", 21041},
    {u"DONE", 21045},
    {u"OK", 21046},
    // Card window, viewing mode.
    {u"COPY TEXT", 21050},
    {u"CUSTOMIZE", 21051},
    {u"ICON", 21052},
    {u"TEXT/COLORS", 21053},
    {u"BACKGROUND", 21054},
    {u"SOUND", 21055},
    {u"ATTACHMENTS", 21056},
    {u"DELETE CARD", 21057},
    // Editing mode and the text editor.
    {u"SELECT ALL", 21060},
    {u"FORM DESIGN", 21061},
    {u"INSERT DATE", 21062},
    {u"INSERT TIME", 21063},
    {u"ZOOM", 21064},
    // Form design.
    {u"ADD FIELD", 21065},
    {u"MOVE FIELD", 21066},
    {u"UP", 21067},
    {u"DOWN", 21068},
    {u"TOP", 21069},
    {u"BOTTOM", 21070},
    {u"COPY FIELD", 21071},
    {u"DELETE FIELD", 21072},
    {u"EDIT SELECTION FIELD", 21073},
    // Selection list, attachments, background, sound and icon dialogs (keys-only devices).
    {u"ADD", 21085},
    {u"MOVE UP", 21086},
    {u"MOVE DOWN", 21087},
    {u"ADD FILE", 21090},
    {u"EXPORT FILE", 21091},
    {u"REMOVE FILE", 21092},
    {u"SELECT IMAGE", 21095},
    {u"REMOVE IMAGE", 21096},
    {u"MATCH BACKGROUND", 21097},
    {u"EXPORT IMAGE", 21098},
    {u"SELECT SOUND", 21100},
    {u"REMOVE SOUND", 21101},
    {u"PLAY SOUND", 21102},
    {u"EXPORT SOUND", 21103},
    {u"IMPORT ICON", 21105},
};

}  // namespace

std::span<const MenuKeyword> menuKeywords() {
    return kKeywords;
}

std::optional<std::uint32_t> menuKeywordId(std::u16string_view caption) {
    for (const auto& entry : kKeywords) {
        if (equalNoCase(entry.keyword, caption)) return entry.id;
    }
    return std::nullopt;
}

std::u16string localizeMenuCaption(const StringTable& strings, std::u16string_view caption) {
    const auto id = menuKeywordId(caption);
    return id ? strings.text(*id) : std::u16string(caption);
}

}  // namespace tw
