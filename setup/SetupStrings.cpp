#include "setup/SetupStrings.h"

#include <cstdio>
#include <cstdlib>

namespace tw::setup {

namespace {

struct Entry {
    std::uint32_t id;
    const char* text;
};

// Placeholders, in order: welcome (product caption, version text, build year), question
// (product name, version text, product name), farewell (product name).
constexpr Entry kStrings[] = {
    {101, "Halvorsgarden"},
    {104, "Tallowmere Pro"},
    {700, "OK"},
    // Block base of each primary language.
    {128, "224"},  // English, and every language without a block
    {129, "256"},  // German (7)
    {130, "288"},  // French (12)
    {131, "320"},  // Dutch (19)
    {132, "352"},  // Italian (16)
    {133, "416"},  // Spanish (10)
    {136, "512"},  // Norwegian (20)
    {137, "544"},  // Russian (25)
    {139, "608"},  // Swedish (29)

    {224,
     "Welcome to %s!\n\n%s, %s.\n\nYour wallets keep passwords, PINs and other private data under a master password."},
    {225,
     "Remove all settings of %s?\n\n%s\n\nYour wallet files are kept; %s finds them again when it is installed later."},
    {226, "%s has been removed. Thank you for using it."},
    {227, "My Sample Wallet.tm5"},
    {228, "Form Sample.tmx"},
    {229, "Import Sample.txt"},
    {230, "Installed languages:"},
    {231, "Please select your preferred language."},

    {256,
     "Willkommen bei %s!\n\n%s, %s.\n\nIhre Wallets bewahren Passwörter, PINs und andere private Daten unter einem "
     "Hauptpasswort auf."},
    {257,
     "Alle Einstellungen von %s entfernen?\n\n%s\n\nIhre Wallet-Dateien bleiben erhalten; %s findet sie nach einer "
     "neuen Installation wieder."},
    {258, "%s wurde entfernt. Vielen Dank für die Nutzung."},
    {259, "Mein Beispielwallet.tm5"},
    {260, "Formularbeispiel.tmx"},
    {261, "Import Beispiel.txt"},
    {262, "Installierte Sprachen:"},
    {263, "Bitte wählen Sie Ihre bevorzugte Sprache."},

    {288,
     "Bienvenue dans %s !\n\n%s, %s.\n\nVos portefeuilles gardent mots de passe, codes PIN et autres données privées "
     "sous un mot de passe principal."},
    {289,
     "Supprimer tous les paramètres de %s ?\n\n%s\n\nVos fichiers de portefeuille sont conservés ; %s les retrouvera "
     "après une nouvelle installation."},
    {290, "%s a été supprimé. Merci de l'avoir utilisé."},
    {291, "Mon portefeuille Wallet.tm5"},
    {292, "Formulaire Sample.tmx"},
    {293, "Importer Sample.txt"},
    {294, "Langues installées :"},
    {295, "Veuillez choisir votre langue préférée."},

    {320,
     "Welkom bij %s!\n\n%s, %s.\n\nUw portefeuilles bewaren wachtwoorden, pincodes en andere privégegevens onder een "
     "hoofdwachtwoord."},
    {321,
     "Alle instellingen van %s verwijderen?\n\n%s\n\nUw portefeuillebestanden blijven bewaard; %s vindt ze terug na "
     "een nieuwe installatie."},
    {322, "%s is verwijderd. Bedankt voor het gebruik."},
    {323, "Mijn voorbeeld portefeuille.tm5"},
    {324, "Voorbeeldformulier.tmx"},
    {325, "Importeer voorbeeld.txt"},
    {326, "Geïnstalleerde talen:"},
    {327, "Kies uw voorkeurstaal."},

    {352,
     "Benvenuti in %s!\n\n%s, %s.\n\nI vostri portafogli custodiscono password, PIN e altri dati privati sotto una "
     "password principale."},
    {353,
     "Rimuovere tutte le impostazioni di %s?\n\n%s\n\nI file dei portafogli vengono conservati; %s li ritroverà dopo "
     "una nuova installazione."},
    {354, "%s è stato rimosso. Grazie per averlo usato."},
    {355, "Il mio portafoglio di esempio.tm5"},
    {356, "Esempio di Form.tmx"},
    {357, "Importa Esempio.txt"},
    {358, "Lingue installate:"},
    {359, "Selezionare la lingua preferita."},

    {416,
     "¡Bienvenido a %s!\n\n%s, %s.\n\nSus carteras guardan contraseñas, PIN y otros datos privados bajo una contraseña "
     "maestra."},
    {417,
     "¿Eliminar todos los ajustes de %s?\n\n%s\n\nSus archivos de cartera se conservan; %s los encontrará de nuevo "
     "tras una nueva instalación."},
    {418, "%s se ha eliminado. Gracias por usarlo."},
    {419, "Mi Cartera Ejemplo.tm5"},
    {420, "Ejemplo Formulario.tmx"},
    {421, "Ejemplo Importación.txt"},
    {422, "Idiomas instalados:"},
    {423, "Seleccione su idioma preferido."},

    {512,
     "Velkommen til %s!\n\n%s, %s.\n\nLommearkivene dine tar vare på passord, PIN-koder og andre private data under "
     "ett hovedpassord."},
    {513,
     "Fjerne alle innstillinger for %s?\n\n%s\n\nLommearkivfilene beholdes; %s finner dem igjen etter en ny "
     "installasjon."},
    {514, "%s er fjernet. Takk for at du brukte det."},
    {515, "Eksempel mitt lommearkiv.tm5"},
    {516, "Eksempel Skjema.tmx"},
    {517, "Eksempel Import.txt"},
    {518, "Installerte språk:"},
    {519, "Velg ønsket språk."},

    {544,
     "Добро пожаловать в %s!\n\n%s, %s.\n\nВаши бумажники хранят пароли, PIN-коды и другие личные данные под главным "
     "паролем."},
    {545, "Удалить все настройки %s?\n\n%s\n\nФайлы бумажников сохраняются; %s найдёт их после новой установки."},
    {546, "%s удалён. Спасибо за использование."},
    {547, "Мой Бумажник Образец.tm5"},
    {548, "Форма Образец.tmx"},
    {549, "Import Sample.txt"},
    {550, "Установленные языки:"},
    {551, "Выберите предпочитаемый язык."},

    {608,
     "Välkommen till %s!\n\n%s, %s.\n\nDina plånböcker förvarar lösenord, PIN-koder och andra privata uppgifter under "
     "ett huvudlösenord."},
    {609,
     "Ta bort alla inställningar för %s?\n\n%s\n\nDina plånboksfiler behålls; %s hittar dem igen efter en ny "
     "installation."},
    {610, "%s har tagits bort. Tack för att du använde det."},
    {611, "Min Förebild Plånbok.tm5"},
    {612, "Förebild Formulär.tmx"},
    {613, "Importerat Förbild.txt"},
    {614, "Installerade språk:"},
    {615, "Välj önskat språk."},
};

struct LanguageTableEntry {
    std::uint32_t primary;
    std::uint32_t tableString;
};
constexpr LanguageTableEntry kLanguageTable[] = {
    {7, 129}, {12, 130}, {19, 131}, {16, 132}, {10, 133}, {20, 136}, {25, 137}, {29, 139},
};
constexpr std::uint32_t kEnglishTableString = 128;
constexpr std::uint32_t kLastDirectId = 198;

struct LanguageNameEntry {
    std::uint32_t id;
    const char* name;
};
constexpr LanguageNameEntry kLanguageNames[] = {
    {0x0409, "English (United States)"}, {0x0809, "English (United Kingdom)"},
    {0x0407, "Deutsch (Deutschland)"},   {0x0807, "Deutsch (Schweiz)"},
    {0x0c07, "Deutsch (Österreich)"},    {0x040c, "Français (France)"},
    {0x0413, "Nederlands (Nederland)"},  {0x0410, "Italiano (Italia)"},
    {0x0c0a, "Español (España)"},        {0x040a, "Español (España)"},
    {0x0414, "Norsk bokmål (Norge)"},    {0x0419, "Русский (Россия)"},
    {0x041d, "Svenska (Sverige)"},       {1037, "Hebrew (Israel)"},
    {1078, "Afrikaans (South Africa)"},
};

}  // namespace

const char* storedString(std::uint32_t id) {
    for (const Entry& e : kStrings) {
        if (e.id == id) return e.text;
    }
    return nullptr;
}

std::string localString(std::uint32_t id, std::uint32_t language) {
    if (id <= kLastDirectId) {
        const char* text = storedString(id);
        return text ? text : "";
    }
    const std::uint32_t primary = language & 0xFF;
    std::uint32_t tableString = kEnglishTableString;
    for (const LanguageTableEntry& e : kLanguageTable) {
        if (e.primary == primary) tableString = e.tableString;
    }
    const std::int64_t base = std::strtol(storedString(tableString), nullptr, 10);
    const std::int64_t english = std::strtol(storedString(kEnglishTableString), nullptr, 10);
    const std::int64_t moved = static_cast<std::int64_t>(id) + base - english;
    if (moved > 0) {
        if (const char* text = storedString(static_cast<std::uint32_t>(moved))) return text;
    }
    const char* text = storedString(id);
    return text ? text : "";
}

std::string languageName(std::uint32_t language) {
    for (const LanguageNameEntry& e : kLanguageNames) {
        if (e.id == language) return e.name;
    }
    char text[32];
    std::snprintf(text, sizeof text, "Language 0x%04x", static_cast<unsigned>(language));
    return text;
}

}  // namespace tw::setup
