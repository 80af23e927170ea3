#pragma once

#include <string>
#include <string_view>

namespace tw {

// What a link field's value is taken for when it is drawn and when its action runs.
enum class LinkClass : int { None = 0, Telephone = 1, WebAddress = 2, Email = 3 };

// Classifies a text (only its first 1023 characters are looked at; leading spaces are skipped):
//   telephone  when at least 60% of the remaining characters are decimal digits;
//   e-mail     else when it holds an "@" followed somewhere by a ".";
//   web        else when it holds two or more "." or, without regard to case, "www.", "http"
//              or "ftp" anywhere;
//   none       otherwise, and for an empty text or one of spaces only.
// On a class other than None, `*target` (when given) receives the looked-at text without its
// leading spaces, in its original case; on None it is left alone.
LinkClass classifyLink(std::u16string_view text, std::u16string* target = nullptr);

// The browser to start for a web address, from the "open" command registered for http
// addresses (only its first 259 characters are used). Scanning from the end, the command is cut
// at the last space that is directly followed by "%"; when the command begins with a double
// quote, the cut is at position 2 or later and the character before it is not a double quote,
// the space becomes a closing quote instead. A command without " %" is kept whole.
struct BrowserCommand {
    std::u16string file;     // the cut command, as handed to the shell's "open"
    std::u16string program;  // the same without its enclosing double quotes
};
BrowserCommand parseBrowserCommand(std::u16string_view registeredCommand);

}  // namespace tw
