#include <gtest/gtest.h>

#include "model/WebAddress.h"
#include "platform/MemoryRegistry.h"

namespace tw {
namespace {

TEST(WebBrowser, RegisteredCommandOrDesktopDefault) {
    struct Case {
        const char16_t* registered;  // nullptr: no key
        std::string program;         // empty: the desktop default
        std::vector<std::string> args;
    };
    const Case cases[] = {
        {nullptr, "", {}},
        {u"", "", {}},
        {u"\"/opt/web browser/run\" %1", "/opt/web browser/run", {"http://x.example"}},
        {u"firefox --new-tab %1", "firefox", {"--new-tab", "http://x.example"}},
        {u"/usr/bin/browser", "/usr/bin/browser", {"http://x.example"}},
    };
    for (const Case& c : cases) {
        MemoryRegistry registry;
        if (c.registered != nullptr) {
            registry.createKey(RegistryRoot::ClassesRoot, u"http\\Shell\\Open\\Command");
            registry.writeString(RegistryRoot::ClassesRoot, u"http\\Shell\\Open\\Command", u"", c.registered);
        }
        RecordingLauncher launcher;
        WebBrowser browser(registry, launcher);
        EXPECT_TRUE(browser.open(u"http://x.example"));
        if (c.program.empty()) {
            ASSERT_EQ(launcher.opened.size(), 1u);
            EXPECT_EQ(launcher.opened[0], "http://x.example");
        } else {
            ASSERT_EQ(launcher.started.size(), 1u);
            EXPECT_EQ(launcher.started[0].program, c.program);
            EXPECT_EQ(launcher.started[0].args, c.args);
        }
        // The key is made when missing, so the next look-up finds it.
        EXPECT_TRUE(registry.openKey(RegistryRoot::ClassesRoot, u"http\\Shell\\Open\\Command"));
    }
}

TEST(PosixLauncher, ReportsWhetherTheProgramStarted) {
    PosixLauncher launcher;
    EXPECT_TRUE(launcher.start("true", {}));
    EXPECT_FALSE(launcher.start("/nonexistent/program-that-is-not-there", {}));
}

}  // namespace
}  // namespace tw
