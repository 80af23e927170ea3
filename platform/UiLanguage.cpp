#include "platform/UiLanguage.h"

#include <cstdlib>
#include <string>

namespace tw {

namespace {

struct LocaleId {
    const char* name;  // "de" or "de_at", lower case
    std::uint16_t id;
};

// Lookups try "ll_cc" first, then "ll". One row per language.
// clang-format off
constexpr LocaleId kLocales[] = {
    {"en", 0x0409},    {"en_us", 0x0409}, {"en_gb", 0x0809}, {"en_au", 0x0C09}, {"en_ca", 0x1009},
    {"en_nz", 0x1409}, {"en_ie", 0x1809}, {"en_za", 0x1C09},
    {"de", 0x0407},    {"de_de", 0x0407}, {"de_ch", 0x0807}, {"de_at", 0x0C07}, {"de_lu", 0x1007},
    {"de_li", 0x1407},
    {"fr", 0x040C},    {"fr_fr", 0x040C}, {"fr_be", 0x080C}, {"fr_ca", 0x0C0C}, {"fr_ch", 0x100C},
    {"fr_lu", 0x140C},
    {"es", 0x0C0A},    {"es_es", 0x0C0A}, {"es_mx", 0x080A}, {"es_ar", 0x2C0A}, {"es_cl", 0x340A},
    {"es_co", 0x240A},
    {"it", 0x0410},    {"it_it", 0x0410}, {"it_ch", 0x0810},
    {"nl", 0x0413},    {"nl_nl", 0x0413}, {"nl_be", 0x0813},
    {"sv", 0x041D},    {"sv_se", 0x041D}, {"sv_fi", 0x081D},
    {"da", 0x0406},
    {"nb", 0x0414},    {"no", 0x0414},    {"nn", 0x0814},
    {"fi", 0x040B},
    {"pt", 0x0416},    {"pt_br", 0x0416}, {"pt_pt", 0x0816},
    {"ja", 0x0411},
    {"zh", 0x0804},    {"zh_cn", 0x0804}, {"zh_sg", 0x1004}, {"zh_tw", 0x0404}, {"zh_hk", 0x0C04},
    {"zh_mo", 0x1404},
    {"ru", 0x0419},    {"pl", 0x0415},    {"cs", 0x0405},    {"ko", 0x0412},    {"el", 0x0408},
    {"hu", 0x040E},    {"tr", 0x041F},
};
// clang-format on

std::uint16_t lookup(const std::string& name) {
    for (const auto& entry : kLocales) {
        if (name == entry.name) return entry.id;
    }
    return 0;
}

}  // namespace

std::uint16_t languageIdForLocale(std::string_view locale) {
    // language[_territory][.codeset][@modifier]; a '-' separator is accepted too.
    const std::size_t end = locale.find_first_of(".@");
    locale = locale.substr(0, end);
    if (locale.empty() || locale.size() > 16) return 0;
    std::string language;
    std::string country;
    std::string* part = &language;
    for (const char c : locale) {
        if (c == '_' || c == '-') {
            if (part == &country) break;
            part = &country;
            continue;
        }
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return 0;
        part->push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    }
    if (language.empty()) return 0;
    if (!country.empty()) {
        if (const std::uint16_t id = lookup(language + "_" + country)) return id;
    }
    return lookup(language);
}

EnvironmentUiLanguage::EnvironmentUiLanguage(Getenv getenv)
    : m_getenv(getenv ? std::move(getenv) : Getenv([](const char* name) { return std::getenv(name); })) {}

std::uint16_t EnvironmentUiLanguage::languageId() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = m_getenv(name);
        if (!value || !*value) continue;
        if (const std::uint16_t id = languageIdForLocale(value)) return id;
    }
    return 0;
}

}  // namespace tw
