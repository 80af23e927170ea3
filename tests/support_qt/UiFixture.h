#pragma once

#include <QApplication>
#include <QTest>
#include <cstdlib>
#include <string>

#include "app/Settings.h"
#include "platform/Prompt.h"
#include "platform/StringTable.h"
#include "views/FontCache.h"
#include "views/UiContext.h"

namespace tw::test {

// Texts that name their id ("#27006"), so a test can tell which message was shown; a few hold the
// placeholders the code fills.
StringTable idTexts();

// What a window or dialog is built with, for tests: id texts, default settings, the desktop font,
// scripted message boxes and 96 dots per inch.
struct UiFixture {
    explicit UiFixture(app::DeviceKind device = app::DeviceKind::PocketPC);
    StringTable strings;
    app::Settings settings;
    ui::FontCache fonts;
    ScriptedPrompt prompt;
    ui::UiContext ui;
};

// The texts of the messages a scripted prompt was shown.
QStringList shownTexts(const ScriptedPrompt& prompt);

// Before the QApplication: no user settings, no user locale, no display.
void prepareQtTestProcess(const char* programName);

}  // namespace tw::test

// The main of a Qt Test program.
#define TW_QTEST_MAIN(TestClass)                 \
    int main(int argc, char** argv) {            \
        tw::test::prepareQtTestProcess(argv[0]); \
        QApplication application(argc, argv);    \
        TestClass test;                          \
        return QTest::qExec(&test, argc, argv);  \
    }
