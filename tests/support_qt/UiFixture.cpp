#include "support_qt/UiFixture.h"

#include <filesystem>

namespace tw::test {

StringTable idTexts() {
    StringTable table;
    std::map<std::uint32_t, std::u16string> texts;
    for (std::uint32_t id = 20000; id < 30000; ++id) {
        const std::string text = "#" + std::to_string(id);
        texts[id] = std::u16string(text.begin(), text.end());
    }
    texts[28511] = u"%d min";
    table.load(std::move(texts));
    return table;
}

UiFixture::UiFixture(app::DeviceKind device)
    : strings(idTexts()),
      settings(app::Settings::defaults(device)),
      fonts(QApplication::font(), true),
      ui{strings, settings, device, fonts, prompt, ui::kDesktopDpi} {}

QStringList shownTexts(const ScriptedPrompt& prompt) {
    QStringList texts;
    for (const Message& m : prompt.shown) texts.append(ui::toQString(m.text));
    return texts;
}

void prepareQtTestProcess(const char* programName) {
    const std::string config =
        std::string(TW_TEST_CONFIG_DIR) + "/" + std::filesystem::path(programName).filename().string();
    std::filesystem::create_directories(config);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("LC_ALL", "C", 1);
    ::setenv("LANG", "C", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

}  // namespace tw::test
