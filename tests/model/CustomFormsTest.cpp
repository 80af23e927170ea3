#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/CustomForms.h"
#include "platform/MemoryFile.h"
#include "platform/Text.h"

namespace tw {
namespace {

const std::string kHeader = "<HalvorsgardenTallowmereCustomForms.1>";

std::vector<std::uint8_t> eightBit(const std::string& utf8) {
    const std::string bytes = toWindows1252(fromUtf8(utf8));
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> utf16(const std::string& utf8) {
    std::vector<std::uint8_t> out;
    for (char16_t c : fromUtf8(utf8)) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

// "number name #icon: field/format[P] name, ..." per form, forms separated by " | ".
std::string describe(const std::vector<Form>& forms) {
    std::string out;
    for (const Form& form : forms) {
        if (!out.empty()) out += " | ";
        out += std::to_string(form.number) + " " + toUtf8(form.name) + " #" + std::to_string(form.icon) + ":";
        for (std::size_t i = 0; i < form.fields.size(); ++i) {
            const FieldDef& f = form.fields[i];
            out += (i == 0 ? " " : ", ") + std::to_string(f.number) + "/" + std::to_string(f.format) +
                   (f.password ? "P" : "") + " " + toUtf8(f.name);
        }
    }
    return out;
}

struct Case {
    const char* what;
    std::string body;  // after the header line
    CustomFormsResult result;
    std::string forms;
};

TEST(CustomForms, ParsesFormBlocksInBothEncodings) {
    const std::string name70(70, 'N');
    std::string manyFields;
    for (int i = 1; i <= 61; ++i) manyFields += std::to_string(i) + " TMF_DEFAULT F" + std::to_string(i) + "\r\n";
    std::string fifty;
    for (int i = 1; i <= 50; ++i)
        fifty += std::string(i == 1 ? " " : ", ") + std::to_string(i) + "/0 F" + std::to_string(i);

    const Case cases[] = {
        {"only a form numbered 999", "<MyForm>\r\nOld\r\n999\r\n1\r\n1 TMF_DEFAULT User\r\n<EndForm>\r\n",
         CustomFormsResult::Done, ""},
        {"form without fields", "<MyForm>\r\nEmpty\r\n1000\r\n1\r\n<EndForm>\r\n", CustomFormsResult::Done, ""},
        {"web site field", "<MyForm>\r\nBank\r\n1000\r\n7\r\n7 TMF_URL Web Site\r\n<EndForm>\r\n",
         CustomFormsResult::Done, "1000 Bank #7: 7/3 Web Site"},
        {"every keyword",
         "<MyForm>\r\nAll\r\n1001\r\n12\r\n1 TMF_DEFAULT a\r\n2 TMF_PIN b\r\n3 TMF_UPPERALL c\r\n"
         "4 TMF_UPPERFIRST d\r\n5 TMF_URL e\r\n6 TMF_EMAIL f\r\n7 TMF_TEL g\r\n8 TMF_LINK h\r\n9 TMF_DATE i\r\n"
         "10 TMF_TIME j\r\n11 TMF_YESNO k\r\n<EndForm>\r\n",
         CustomFormsResult::Done,
         "1001 All #12: 1/0 a, 2/0P b, 3/1 c, 4/2 d, 5/3 e, 6/15 f, 7/11 g, 8/16 h, 9/8 i, 10/17 j, 11/9 k"},
        {"keyword list order decides, the name follows the second part",
         "<MyForm>\r\nX\r\n1000\r\n1\r\n3   TMF_URL   My TMF_PIN  code\r\n<EndForm>\r\n", CustomFormsResult::Done,
         "1000 X #1: 3/0P My TMF_PIN  code"},
        {"password keyword without a name is a syntax error, the form keeps its good fields",
         "<MyForm>\r\nBank\r\n1000\r\n1\r\n1 TMF_DEFAULT User\r\n8 TMF_PIN\r\n<EndForm>\r\n",
         CustomFormsResult::SyntaxError, "1000 Bank #1: 1/0 User"},
        {"field line errors: no keyword, no number part, number part of 11",
         "<MyForm>\r\nF\r\n1000\r\n1\r\n1 TMF_NONE x\r\nTMF_DEFAULT\r\n12345678901 TMF_DEFAULT x\r\n"
         "1234567890 TMF_DEFAULT ok\r\n<EndForm>\r\n",
         CustomFormsResult::SyntaxError, "1000 F #1: 1234567890/0 ok"},
        {"name of 70 characters is cut to 63",
         "<MyForm>\r\n" + name70 + "\r\n1000\r\n1\r\n1 TMF_DEFAULT " + name70 + "\r\n<EndForm>\r\n",
         CustomFormsResult::Done, "1000 " + std::string(63, 'N') + " #1: 1/0 " + std::string(63, 'N')},
        {"comments, blank lines, trailing spaces, markers in any case",
         "; a comment\r\n\r\n   \r\n<myFORM>   ; start\r\nBank  \r\n; number next\r\n1000;x\r\n3 \r\n"
         "1 TMF_DEFAULT  User name  ; who\r\n<endform>\r\n",
         CustomFormsResult::Done, "1000 Bank #3: 1/0 User name"},
        {"a marker with leading spaces is not a marker",
         " <MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n", CustomFormsResult::Done, ""},
        {"number of 11 characters and icon of 3 are errors; the state waits for a good line",
         "<MyForm>\r\nA\r\n12345678901\r\n1002\r\n123\r\n4\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n",
         CustomFormsResult::SyntaxError, "1002 A #4: 1/0 x"},
        {"forms before and after an error are kept",
         "<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n<MyForm>\r\nB\r\n1001\r\n1\r\n2 bad\r\n"
         "2 TMF_TEL y\r\n<EndForm>\r\n",
         CustomFormsResult::SyntaxError, "1000 A #1: 1/0 x | 1001 B #1: 2/11 y"},
        {"fields past the 50th are ignored", "<MyForm>\r\nMany\r\n1000\r\n1\r\n" + manyFields + "<EndForm>\r\n",
         CustomFormsResult::Done, "1000 Many #1:" + fifty},
        {"last line without line end", "<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>",
         CustomFormsResult::Done, "1000 A #1: 1/0 x"},
        {"bare LF line ends", "<MyForm>\nA\n1000\n1\n1 TMF_DEFAULT x\n<EndForm>\n", CustomFormsResult::Done,
         "1000 A #1: 1/0 x"},
        {"a repeated end marker keeps the form once",
         "<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n<EndForm>\r\n", CustomFormsResult::Done,
         "1000 A #1: 1/0 x"},
        {"a new start marker drops the unfinished form",
         "<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<MyForm>\r\nB\r\n1001\r\n1\r\n1 TMF_DEFAULT y\r\n"
         "<EndForm>\r\n",
         CustomFormsResult::Done, "1001 B #1: 1/0 y"},
        {"an unfinished last form is dropped", "<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n",
         CustomFormsResult::Done, ""},
        {"leading-digits numbers, no sign, saturated",
         "<MyForm>\r\nA\r\n-1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n<MyForm>\r\nB\r\n9999999999\r\n7x\r\n"
         "12ab TMF_DEFAULT y\r\n<EndForm>\r\n",
         CustomFormsResult::Done, "4294967295 B #7: 12/0 y"},
        {"non-ASCII names", "<MyForm>\r\nCafé €\r\n1000\r\n1\r\n1 TMF_DEFAULT Naïve\r\n<EndForm>\r\n",
         CustomFormsResult::Done, "1000 Café € #1: 1/0 Naïve"},
    };
    for (const Case& c : cases) {
        const std::string file = kHeader + "\r\n" + c.body;
        for (const bool wide : {false, true}) {
            CustomForms forms;
            EXPECT_EQ(forms.parse(wide ? utf16(file) : eightBit(file)), c.result)
                << c.what << (wide ? " (UTF-16)" : "");
            EXPECT_EQ(describe(forms.forms()), c.forms) << c.what << (wide ? " (UTF-16)" : "");
        }
    }
}

TEST(CustomForms, LinesAreSplitAt512Bytes) {
    // The comment fills the first 512 bytes of its line; what follows is a line of its own.
    for (const bool wide : {false, true}) {
        const std::size_t units = wide ? 256 : 512;
        const std::string file = kHeader + "\r\n<MyForm>\r\nA\r\n;" + std::string(units - 1, 'x') +
                                 "1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n";
        CustomForms forms;
        EXPECT_EQ(forms.parse(wide ? utf16(file) : eightBit(file)), CustomFormsResult::Done);
        EXPECT_EQ(describe(forms.forms()), "1000 A #1: 1/0 x") << (wide ? "UTF-16" : "8-bit");
    }
}

TEST(CustomForms, RefusesFilesWithoutHeader) {
    const std::string body = "\r\n<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n";
    std::vector<std::uint8_t> marked = {0xFF, 0xFE};
    const std::vector<std::uint8_t> wide = utf16(kHeader + body);
    marked.insert(marked.end(), wide.begin(), wide.end());

    const std::pair<const char*, std::vector<std::uint8_t>> cases[] = {
        {"UTF-16 with a byte-order mark", marked},
        {"header in another case", eightBit("<halvorsgardentallowmerecustomforms.1>" + body)},
        {"header cut short", eightBit(kHeader.substr(0, 37))},
        {"header after a blank line", eightBit("\r\n" + kHeader + body)},
        {"a lone byte", {0x3C}},
    };
    for (const auto& [what, bytes] : cases) {
        CustomForms forms;
        EXPECT_EQ(forms.parse(bytes), CustomFormsResult::NoHeader) << what;
        EXPECT_TRUE(forms.forms().empty()) << what;
    }
    CustomForms forms;
    EXPECT_EQ(forms.parse({}), CustomFormsResult::Unreadable);
    EXPECT_EQ(forms.parse(eightBit(kHeader)), CustomFormsResult::Done);
    EXPECT_TRUE(forms.forms().empty());
}

TEST(CustomForms, LoadsFromFileFindsByNumberAndReleases) {
    MemoryFileSystem files;
    files.setBytes("forms.tcd", utf16(kHeader + "\r\n<MyForm>\r\nA\r\n1000\r\n1\r\n1 TMF_DEFAULT x\r\n<EndForm>\r\n"
                                                "<MyForm>\r\nB\r\n1005\r\n2\r\n2 TMF_EMAIL Mail\r\n<EndForm>"));
    files.setBytes("empty.tcd", {});

    CustomForms forms;
    EXPECT_EQ(forms.load(files, "missing.tcd"), CustomFormsResult::Unreadable);
    EXPECT_EQ(forms.load(files, "empty.tcd"), CustomFormsResult::Unreadable);
    files.faults().failReadAt = 1;
    EXPECT_EQ(forms.load(files, "forms.tcd"), CustomFormsResult::Unreadable);
    files.resetFaults();

    ASSERT_EQ(forms.load(files, "forms.tcd"), CustomFormsResult::Done);
    ASSERT_NE(forms.find(1005), nullptr);
    EXPECT_EQ(forms.find(1005)->name, u"B");
    EXPECT_EQ(forms.find(1005)->fields.at(0).format, format_code::kEmail);
    EXPECT_EQ(forms.find(999), nullptr);

    // A failed load leaves nothing of the previous one behind.
    EXPECT_EQ(forms.load(files, "missing.tcd"), CustomFormsResult::Unreadable);
    EXPECT_EQ(forms.find(1000), nullptr);
    ASSERT_EQ(forms.load(files, "forms.tcd"), CustomFormsResult::Done);
    forms.release();
    EXPECT_TRUE(forms.forms().empty());
}

}  // namespace
}  // namespace tw
