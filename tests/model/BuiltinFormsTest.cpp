#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/BuiltinForms.h"
#include "model/FieldKind.h"
#include "model/FormFields.h"

namespace tw {
namespace {

// A row written as in the forms table: "nameId/format" per field, "P" for a password.
struct Row {
    std::size_t index;
    std::uint32_t number;
    std::uint32_t nameId;
    std::int32_t icon;
    std::string fields;
};

std::vector<FieldDef> parseFields(const std::string& text) {
    std::vector<FieldDef> defs;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        FieldDef def;
        const std::size_t slash = item.find('/');
        def.nameId = static_cast<std::uint32_t>(std::stoul(item.substr(0, slash)));
        def.password = item.back() == 'P';
        def.format = static_cast<std::uint32_t>(std::stoul(item.substr(slash + 1)));
        defs.push_back(def);
    }
    return defs;
}

std::string repeat(const std::string& group, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += group + " ";
    return out;
}

TEST(BuiltinForms, FixedRowsAreExact) {
    const Row rows[] = {
        {0, 500, 39000, 110,
         "31000/1 31001/5 31002/0P 31003/2 31004/5 31005/5 31006/0 31007/0 31008/0 31009/11 "
         "31010/11 31011/0 31012/0 31013/0 31014/0 31015/0"},
        {1, 501, 39001, 44, "31102/11 31103/5 31101/1 31109/1 31110/1 31104/0P 31105/11 31106/0 31107/0 31108/11"},
        {2, 502, 39002, 44,
         "31200/5 31201/0 31202/1 31203/1 31204/5P 31213/0P 31205/1 31206/0 31207/0 31208/0 "
         "31210/11 31211/11 31212/11 30004/3 30009/0 30010/0P 30005/15 30006/11 30007/0 31209/3"},
        {10, 510, 39010, 74, "32000/2 32001/0P 32002/2 32003/0 32004/2"},
        {11, 512, 39011, 50, "32100/2 32101/8 32102/0"},
        {22, 523, 39024, 1,
         "33200/1 33201/1 33202/1 33203/1 33204/0 33205/0 33206/11 33207/8 33208/17 33209/8 "
         "33210/17 33211/0 33212/11 33213/0 33214/0 33215/11 33219/11 33220/11 33221/11 33222/0 "
         "33225/0 33226/2 33216/2 33217/0 33218/0 33223/9 33224/8"},
        {25, 525, 39022, 1,
         "33500/8 33501/1 33502/1 33503/1 33512/0 33510/0 33509/0 33513/1 33524/18 33514/0 "
         "33515/1 33525/18 33516/0 33523/1 33504/1 33505/1 33506/1 33507/11 33508/0 33511/11 "
         "33517/0 33518/0 33519/0 33520/2 33521/9 33522/8"},
        {40, 511, 39033, 89,
         "35008/0 35001/0 35018/0 35005/0 35017/0 35003/0 35016/0 35010/0 35009/0 35007/0 "
         "35004/0 35020/0 35012/0 35014/0 35002/0 35015/0 35019/0 35000/0 35013/0 35006/0 35011/0"},
        {41, 541, 39042, 68, repeat("34401/3 34402/0 34403/0P", 5)},
        {42, 542, 39043, 30, repeat("31333/1 31314/15 31303/11 31305/11", 10)},
    };
    const std::vector<std::uint32_t> form2Numbers = {503, 504, 505, 506, 507, 516, 508, 509, 510, 511,
                                                     512, 513, 514, 517, 518, 519, 520, 521, 522, 515};
    for (const Row& row : rows) {
        SCOPED_TRACE("form index " + std::to_string(row.index));
        const Form* form = builtinForm(row.index);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->number, row.number);
        EXPECT_EQ(form->nameId, row.nameId);
        EXPECT_EQ(form->icon, row.icon);
        const std::vector<FieldDef> expected = parseFields(row.fields);
        ASSERT_EQ(form->fields.size(), expected.size());
        for (std::size_t j = 0; j < expected.size(); ++j) {
            const FieldDef& field = form->fields[j];
            EXPECT_EQ(field.nameId, expected[j].nameId) << "position " << j;
            EXPECT_EQ(field.format, expected[j].format) << "position " << j;
            EXPECT_EQ(field.password, expected[j].password) << "position " << j;
            EXPECT_TRUE(field.name.empty());
            const auto position = static_cast<std::uint32_t>(j);
            const std::uint32_t number = row.index == 2 ? form2Numbers[j] : row.number + 1 + position;
            EXPECT_EQ(field.number, number) << "position " << j;
        }
    }
}

TEST(BuiltinForms, WholeTableShape) {
    const auto forms = builtinForms();
    ASSERT_EQ(forms.size(), kBuiltinFormCount);
    std::set<std::uint32_t> numbers;
    std::set<std::uint32_t> nameIds;
    for (std::size_t i = 0; i < forms.size(); ++i) {
        const Form& form = forms[i];
        SCOPED_TRACE("form index " + std::to_string(i));
        EXPECT_GE(form.fields.size(), 3u);
        EXPECT_LE(form.fields.size(), 40u);
        EXPECT_TRUE(numbers.insert(form.number).second) << "number " << form.number << " twice";
        EXPECT_TRUE(nameIds.insert(form.nameId).second) << "name " << form.nameId << " twice";
        EXPECT_GE(form.nameId, 39000u);
        EXPECT_LE(form.nameId, 39043u);
        EXPECT_GE(form.icon, 0);
        EXPECT_LE(form.icon, 143);
        EXPECT_TRUE(form.name.empty());
        for (std::size_t j = 0; j < form.fields.size(); ++j) {
            const FieldDef& field = form.fields[j];
            EXPECT_GE(field.nameId, 30004u) << "position " << j;
            EXPECT_LE(field.nameId, 38999u) << "position " << j;
            if (i != 2) {
                EXPECT_EQ(field.number, form.number + 1 + j) << "position " << j;
            }
        }
        EXPECT_EQ(builtinFormIndex(form.number), i);
        EXPECT_EQ(builtinFormByNumber(form.number), &form);
    }
    EXPECT_EQ(*numbers.begin(), 500u);
    EXPECT_EQ(*numbers.rbegin(), 542u);  // 43 distinct numbers in 500-542: every number is used

    EXPECT_EQ(builtinForm(kBuiltinFormCount), nullptr);
    EXPECT_FALSE(builtinFormIndex(499).has_value());
    EXPECT_FALSE(builtinFormIndex(543).has_value());
    EXPECT_EQ(builtinFormByNumber(1000), nullptr);
}

// Reads one language source file: "<id>\t<text>" lines, "#" comments, blank lines.
std::map<std::uint32_t, std::string> readLanguageFile(const std::string& language) {
    // The source folder comes from the build, not from __FILE__, which a compiler cache may
    // have made relative to the build folder.
    const std::filesystem::path root = TW_SOURCE_DIR;
    const std::filesystem::path path = root / "resources" / "lang" / language / "forms.txt";
    std::ifstream in(path);
    EXPECT_TRUE(in.is_open()) << path;
    std::map<std::uint32_t, std::string> texts;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        EXPECT_NE(tab, std::string::npos) << language << ": " << line;
        if (tab == std::string::npos) continue;
        const std::string id = line.substr(0, tab);
        EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos) << language << ": " << line;
        const auto [it, fresh] = texts.emplace(static_cast<std::uint32_t>(std::stoul(id)), line.substr(tab + 1));
        EXPECT_TRUE(fresh) << language << ": id " << id << " twice";
        EXPECT_FALSE(it->second.empty()) << language << ": id " << id << " without text";
    }
    return texts;
}

TEST(BuiltinForms, EveryNameHasEnglishAndGermanText) {
    std::set<std::uint32_t> ids = {20204, 20205, 20509};
    for (std::uint32_t id = 24500; id <= 24515; ++id) ids.insert(id);
    for (const Form& form : builtinForms()) {
        ids.insert(form.nameId);
        for (const FieldDef& field : form.fields) ids.insert(field.nameId);
    }
    for (const std::string language : {"0409", "0407"}) {
        const std::map<std::uint32_t, std::string> texts = readLanguageFile(language);
        for (const std::uint32_t id : ids) EXPECT_TRUE(texts.count(id)) << language << ": no text for " << id;
        // Nothing beyond what the forms use, so a renamed id cannot leave a stale text behind.
        for (const auto& [id, text] : texts) EXPECT_TRUE(ids.count(id)) << language << ": unused id " << id;
    }
}

TEST(FormFields, NewCardAndConversionTemplates) {
    StringTable strings;
    strings.set(31200, u"Account number");
    const Form& bank = *builtinForm(2);

    const std::vector<FieldTemplate> fresh = fieldTemplates(bank, strings, KindRule::NewCard);
    ASSERT_EQ(fresh.size(), bank.fields.size());
    EXPECT_EQ(fresh[0].name, u"Account number");
    EXPECT_EQ(fresh[1].name, u"?");  // loaded table without that id
    const std::uint16_t newKinds[] = {1, 1, 1, 1, 7, 7, 1, 1, 1, 1, 6, 6, 6, 3, 1, 7, 5, 6, 1, 3};
    const std::uint16_t oldKinds[] = {15, 1, 15, 15, 7, 7, 15, 1, 1, 1, 6, 6, 6, 3, 1, 7, 5, 6, 1, 3};
    const std::vector<FieldTemplate> converted = fieldTemplates(bank, strings, KindRule::Conversion);
    for (std::size_t j = 0; j < fresh.size(); ++j) {
        EXPECT_EQ(fresh[j].kind, newKinds[j]) << j;
        EXPECT_EQ(converted[j].kind, oldKinds[j]) << j;
    }

    // No language file: every name of a built-in form is "*"; custom definitions keep their text.
    for (const FieldTemplate& field : fieldTemplates(*builtinForm(22), StringTable{}, KindRule::NewCard)) {
        EXPECT_EQ(field.name, u"*");
    }
    Form custom;
    custom.number = 1000;
    custom.name = u"Gym";
    custom.fields.push_back(FieldDef{7, 0, u"Locker", format_code::kDateTime, false});
    EXPECT_EQ(formName(custom, StringTable{}), u"Gym");
    const std::vector<FieldTemplate> customFields = fieldTemplates(custom, StringTable{}, KindRule::NewCard);
    ASSERT_EQ(customFields.size(), 1u);
    EXPECT_EQ(customFields[0].name, u"Locker");
    EXPECT_EQ(customFields[0].kind, field_kind::kDateTime);
}

}  // namespace
}  // namespace tw
