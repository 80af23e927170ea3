#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace tw {

// The user-interface language as a Windows language id (0x0409 English (United States), 0x0407
// German, ...), which names the language files. 0 means unknown.
class UiLanguage {
public:
    virtual ~UiLanguage() = default;
    virtual std::uint16_t languageId() = 0;
};

// The language id of a POSIX locale name ("de_DE.UTF-8", "pt_BR", "sv", "zh_TW@variant");
// 0 for "C", "POSIX" and languages without a mapping. An unknown country of a known language
// gives that language's main id.
std::uint16_t languageIdForLocale(std::string_view locale);

// From the environment: the first of LC_ALL, LC_MESSAGES and LANG that is set and names a known
// language. `getenv` is injectable for tests.
class EnvironmentUiLanguage final : public UiLanguage {
public:
    using Getenv = std::function<const char*(const char*)>;
    explicit EnvironmentUiLanguage(Getenv getenv = nullptr);
    std::uint16_t languageId() override;

private:
    Getenv m_getenv;
};

class FixedUiLanguage final : public UiLanguage {
public:
    explicit FixedUiLanguage(std::uint16_t id) : m_id(id) {}
    std::uint16_t languageId() override { return m_id; }

private:
    std::uint16_t m_id;
};

}  // namespace tw
