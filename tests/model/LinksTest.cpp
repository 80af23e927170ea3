#include <gtest/gtest.h>

#include <string>

#include "model/Links.h"
#include "platform/Text.h"

namespace tw {
namespace {

TEST(ClassifyLink, ClassesAndNearMisses) {
    struct Case {
        std::u16string text;
        LinkClass expected;
    };
    const Case cases[] = {
        {u"", LinkClass::None},
        {u"     ", LinkClass::None},
        {u"555-1234", LinkClass::Telephone},  // 7 digits of 8
        {u"+1 (555) 123-4567", LinkClass::Telephone},
        {u"123ab", LinkClass::Telephone},        // exactly 0.6
        {u"123abc", LinkClass::None},            // 0.5
        {u"   123ab", LinkClass::Telephone},     // leading spaces do not count
        {u"12 Main St", LinkClass::None},        // 2 digits of 10
        {u"192.168.1.1", LinkClass::Telephone},  // digits decide before the dots
        {u"1.2.3.ab", LinkClass::WebAddress},    // 3 of 8 digits, three dots
        {u"john@example.com", LinkClass::Email},
        {u"a.b@c.d", LinkClass::Email},
        {u"a@b", LinkClass::None},               // no dot at all
        {u"first.last@host", LinkClass::None},   // the only dot is before the "@"
        {u"x.y.z@host", LinkClass::WebAddress},  // no dot after "@", but two dots
        {u"example.co.uk", LinkClass::WebAddress},
        {u"example.com", LinkClass::None},        // one dot and no marker
        {u"WWW.example", LinkClass::WebAddress},  // one dot, "www." once lower-cased
        {u"www example", LinkClass::None},        // "www" without its dot
        {u"ftp", LinkClass::WebAddress},
        {u"FTP server", LinkClass::WebAddress},
        {u"see the http docs", LinkClass::WebAddress},
        {u"HTTPS", LinkClass::WebAddress},
        {u"htt p", LinkClass::None},
        {u"Grandma", LinkClass::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(classifyLink(c.text), c.expected) << toUtf8(c.text);
    }
}

TEST(ClassifyLink, TargetIsTextWithoutLeadingSpacesInOriginalCase) {
    std::u16string target = u"untouched";
    EXPECT_EQ(classifyLink(u"   Grandma", &target), LinkClass::None);
    EXPECT_EQ(target, u"untouched");

    EXPECT_EQ(classifyLink(u"   WWW.Example.COM/Path ", &target), LinkClass::WebAddress);
    EXPECT_EQ(target, u"WWW.Example.COM/Path ");
    EXPECT_EQ(classifyLink(u" \t555-1234", &target), LinkClass::Telephone);  // only spaces are skipped
    EXPECT_EQ(target, u"\t555-1234");
}

TEST(ClassifyLink, LooksAtTheFirst1023CharactersOnly) {
    const std::u16string pad(1020, u'x');
    EXPECT_EQ(classifyLink(pad + u"@b.c"), LinkClass::Email);  // the dot is character 1023
    EXPECT_EQ(classifyLink(pad + u"x@b.c"), LinkClass::None);  // the dot is cut off
    EXPECT_EQ(classifyLink(std::u16string(1023, u'a') + std::u16string(4000, u'5')), LinkClass::None);

    std::u16string target;
    EXPECT_EQ(classifyLink(u"  " + std::u16string(2000, u'7'), &target), LinkClass::Telephone);
    EXPECT_EQ(target.size(), 1021u);
}

TEST(BrowserCommand, CutAtThePlaceholder) {
    struct Case {
        std::u16string command;
        std::u16string file;
        std::u16string program;
    };
    const Case cases[] = {
        {u"\"\\Windows\\iexplore.exe\" %1", u"\"\\Windows\\iexplore.exe\"", u"\\Windows\\iexplore.exe"},
        // A quoted program whose closing quote was lost before the space gets it back.
        {u"\"\\Program Files\\Web\\web.exe %1", u"\"\\Program Files\\Web\\web.exe\"", u"\\Program Files\\Web\\web.exe"},
        {u"\\Windows\\iexplore.exe %1", u"\\Windows\\iexplore.exe", u"\\Windows\\iexplore.exe"},
        {u"web.exe -nohome %1", u"web.exe -nohome", u"web.exe -nohome"},
        {u"web.exe %1 %2", u"web.exe %1", u"web.exe %1"},  // the last placeholder cuts
        {u"web.exe %", u"web.exe", u"web.exe"},
        {u"\"a b\" -x %1", u"\"a b\" -x\"", u"a b"},
        {u"\" %1", u"\"", u""},  // too short for a closing quote
        {u"web.exe", u"web.exe", u"web.exe"},
        {u"web.exe%1", u"web.exe%1", u"web.exe%1"},
        {u"web.exe ", u"web.exe ", u"web.exe "},
        {u"", u"", u""},
    };
    for (const Case& c : cases) {
        const BrowserCommand command = parseBrowserCommand(c.command);
        EXPECT_EQ(command.file, c.file) << toUtf8(c.command);
        EXPECT_EQ(command.program, c.program) << toUtf8(c.command);
    }
}

TEST(BrowserCommand, OnlyTheFirst259CharactersAreUsed) {
    const std::u16string longPath = u"\\" + std::u16string(300, u'p') + u" %1";
    EXPECT_EQ(parseBrowserCommand(longPath).file, longPath.substr(0, 259));
    const std::u16string fits = u"\\" + std::u16string(255, u'p') + u" %1";  // 259 characters
    EXPECT_EQ(parseBrowserCommand(fits).file, fits.substr(0, 256));
}

}  // namespace
}  // namespace tw
