#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/CardRows.h"
#include "model/WebAddress.h"
#include "platform/Launcher.h"

namespace tw::app {

// The addresses the card view's actions hand to the desktop. Each is built from the field's text
// alone and handed over as one argument, never through a shell; a text that cannot make a safe
// address gives none, and nothing is started.

// A web address: http:// and https:// addresses as they are (scheme in any case); a text without
// a scheme ("www.example.com") gets "http://". Any other scheme (file:, javascript:, ...),
// control characters, spaces inside the address or an empty text give none.
std::optional<std::string> webTarget(std::u16string_view text);

// "mailto:" and the address alone: a leading "mailto:" is dropped, the address is cut at the first
// space, "?" or control character (so nothing can add headers or a body), and every byte outside
// the unreserved set and "@" is percent-encoded. None without an "@".
std::optional<std::string> mailtoTarget(std::u16string_view text);

// "tel:" and the number's digits; a leading "+" is kept. None without a digit.
std::optional<std::string> telTarget(std::u16string_view text);

// Runs a row's action that leaves the program: Web through `browser` (the registered-browser
// rule), Mail and Phone through the launcher's default opener. Returns false when the row's text
// gives no safe address or the start failed; Copy and Attachment rows are the caller's and give
// false here.
bool runExternalAction(const ViewRow& row, WebBrowser& browser, Launcher& launcher);

}  // namespace tw::app
