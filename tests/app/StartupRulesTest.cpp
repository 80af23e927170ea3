// The command line, the device kind and the password rules the dialogs apply.
#include <gtest/gtest.h>

#include <set>

#include "app/CommandLine.h"
#include "app/DeviceKind.h"
#include "app/PasswordRules.h"
#include "app/Settings.h"

namespace tw::app {
namespace {

TEST(CommandLineTest, Arguments) {
    const std::set<std::string> files = {"/w/home.tm5", "/w/Form.TMX"};
    auto exists = [&](const std::string& p) { return files.count(p) != 0; };
    struct Case {
        std::string argument;
        bool syncStart, syncEnd, formLayout;
        std::string kept;
    };
    const Case cases[] = {
        {"", false, false, false, ""},
        {"/w/home.tm5", false, false, false, "/w/home.tm5"},
        {"/w/gone.tm5", false, false, false, ""},      // a missing file is dropped
        {"\"/w/home.tm5\"", false, false, false, ""},  // taken as it stands: no quotes removed
        {"/x/SYNC_START", true, false, false, ""},
        {"sync_Start", true, false, false, ""},
        {"--sync_end", false, true, false, ""},
        {"SYNC_END", false, true, false, ""},
        {"YNC_END", false, false, false, ""},
        {"/w/Form.TMX", false, false, true, "/w/Form.TMX"},
        {"/w/missing.tmx", false, false, true, "/w/missing.tmx"},  // not looked up
        {".tmx", false, false, false, ""},
    };
    for (const Case& c : cases) {
        const CommandLineState s = parseCommandLine(c.argument, exists);
        EXPECT_EQ(s.syncStart, c.syncStart) << c.argument;
        EXPECT_EQ(s.syncEnd, c.syncEnd) << c.argument;
        EXPECT_EQ(s.formLayout, c.formLayout) << c.argument;
        EXPECT_EQ(s.argument, c.kept) << c.argument;
    }
}

TEST(CommandLineTest, AnOverlongPathIsRefusedNotCut) {
    // Cut to the limit, this path would name an existing file.
    const std::string fits = "/" + std::string(kMaxPath - 1, 'a');
    const std::string longer = fits + "b";
    auto exists = [&](const std::string& p) { return p == fits; };
    EXPECT_EQ(parseCommandLine(fits, exists).argument, fits);
    EXPECT_EQ(parseCommandLine(longer, exists).argument, "");
}

TEST(CommandLineTest, TheFirstWallet) {
    auto exists = [](const std::string& p) { return p == "/w/last.tm5" || p == "/w/named.tm5"; };
    CommandLineState named;
    named.argument = "/w/named.tm5";
    CommandLineState form;
    form.argument = "/w/Form.tmx";
    form.formLayout = true;
    struct Case {
        CommandLineState command;
        std::u16string last;
        bool openLast;
        std::optional<std::string> first;
    };
    const Case cases[] = {
        {named, u"/w/last.tm5", true, "/w/named.tm5"}, {{}, u"/w/last.tm5", true, "/w/last.tm5"},
        {{}, u"/w/last.tm5", false, std::nullopt},  // "OpenLast" off never opens it
        {{}, u"/w/gone.tm5", true, std::nullopt},      {{}, u"", true, std::nullopt},
        {form, u"/w/last.tm5", true, "/w/last.tm5"},  // a form-layout file is no wallet
    };
    for (const Case& c : cases) EXPECT_EQ(firstWallet(c.command, c.last, c.openLast, exists), c.first);
}

TEST(DeviceKindTest, FromTheEnvironment) {
    struct Case {
        const char* value;
        DeviceKind kind;
    };
    const Case cases[] = {{nullptr, DeviceKind::PocketPC},        {"Smartphone", DeviceKind::Smartphone},
                          {"SMARTPHONE", DeviceKind::Smartphone}, {"Pocket PC", DeviceKind::PocketPC},
                          {"PocketPC", DeviceKind::PocketPC},     {"tablet", DeviceKind::PocketPC}};
    for (const Case& c : cases) {
        const DeviceKind kind = detectDeviceKind(
            [&](const char* name) { return std::string_view(name) == kDeviceVariable ? c.value : nullptr; });
        EXPECT_EQ(kind, c.kind) << (c.value ? c.value : "(unset)");
    }
}

TEST(PasswordRulesTest, NewPasswordChecksInOrder) {
    struct Case {
        std::u16string password, confirmation;
        std::optional<std::uint32_t> message;
    };
    const Case cases[] = {
        {u"", u"", 27003},     {u"", u"abc", 27003}, {u"abc", u"abcd", 27004}, {u"ab", u"abc", 27004},
        {u"ab", u"ab", 27007}, {u"a", u"a", 27007},  {u"abc", u"abd", 27004},  {u"abc", u"abc", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto refusal = checkNewPassword(c.password, c.confirmation);
        EXPECT_EQ(refusal ? std::optional(refusal->textId) : std::nullopt, c.message);
    }
    EXPECT_EQ(checkNewPassword(u"ab", u"ab")->icon, Icon::Stop);
    EXPECT_EQ(checkNewPassword(u"abc", u"abd")->icon, Icon::Warning);
    EXPECT_EQ(takenPassword(u"123456789012345678901234"), u"12345678901234567890123");
}

TEST(PasswordRulesTest, TheHintIsOfferedOnceAfterTheFifthFailure) {
    PasswordAttempts attempts;
    std::vector<bool> offered;
    for (int i = 0; i < 7; ++i) offered.push_back(attempts.failed());
    EXPECT_EQ(offered, (std::vector<bool>{false, false, false, false, true, false, false}));
}

TEST(PasswordRulesTest, AutoCancelRunsOutAfterTwoMinutes) {
    AutoCancel timer;
    for (int i = 1; i < kAutoCancelSeconds; ++i) ASSERT_FALSE(timer.tick());
    EXPECT_TRUE(timer.tick());
    EXPECT_FALSE(timer.tick());  // once
    timer.reset();
    EXPECT_EQ(timer.secondsLeft(), 120);
}

}  // namespace
}  // namespace tw::app
