#include <gtest/gtest.h>

#include "platform/StringTable.h"

namespace tw {
namespace {

// A table filled on first use: the loader runs once, when a text is first needed, and never
// after the table was replaced or emptied.
TEST(StringTableTest, loaderRunsOnceOnFirstUse) {
    int runs = 0;
    const auto loader = [&runs](StringTable& t) {
        ++runs;
        t.load({{1, u"one"}, {2, u"two"}});
    };
    struct Case {
        const char* name;
        std::function<void(StringTable&)> use;
        int runs;
        std::u16string text1;
    };
    const Case cases[] = {
        {"text", [](StringTable& t) { (void)t.text(2); }, 1, u"one"},
        {"loaded", [](StringTable& t) { EXPECT_TRUE(t.loaded()); }, 1, u"one"},
        {"all", [](StringTable& t) { EXPECT_EQ(t.all().size(), 2u); }, 1, u"one"},
        {"set keeps the loaded texts", [](StringTable& t) { t.set(3, u"three"); }, 1, u"one"},
        {"load replaces the loader",
         [](StringTable& t) {
             t.load({{1, u"uno"}});
         },
         0, u"uno"},
        {"unload drops it", [](StringTable& t) { t.unload(); }, 0, u"*"},
    };
    for (const Case& c : cases) {
        runs = 0;
        StringTable table;
        table.loadOnFirstUse(loader);
        EXPECT_EQ(runs, 0) << c.name;
        c.use(table);
        EXPECT_EQ(table.text(1), c.text1) << c.name;
        (void)table.text(2);
        EXPECT_EQ(runs, c.runs) << c.name;
    }
}

}  // namespace
}  // namespace tw
