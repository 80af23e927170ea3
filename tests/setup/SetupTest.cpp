// The setup extension as the installer driver loads it (dlopen), against a temporary home: the
// version check and welcome, the language choice and the samples' names, and removal with and
// without "Clean", closing a running program first.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/IniRegistry.h"
#include "platform/Text.h"
#include "setup/Driver.h"

namespace tw::setup {

namespace {

namespace fs = std::filesystem;

constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5";

struct Shown {
    std::string text;
    std::uint32_t style;
};

// The user's side, scripted.
struct ScriptedHost {
    std::vector<Shown> shown;
    int answer = TW_IDOK;                // for OK/Cancel and Yes/No questions
    std::uint32_t chooseId = 0;          // the language picked; 0 keeps the preselection
    std::vector<std::uint32_t> offered;  // what the language list held
    std::uint32_t major = 5, minor = 1;
    bool versionKnown = true;

    static int message(void* c, const char* text, const char*, std::uint32_t style) {
        auto* self = static_cast<ScriptedHost*>(c);
        self->shown.push_back({text, style});
        return (style & 0xF) == TW_MB_OK ? TW_IDOK : self->answer;
    }
    static std::uint32_t choose(void* c, const std::uint32_t* ids, const char* const*, std::uint32_t count,
                                std::uint32_t preselected) {
        auto* self = static_cast<ScriptedHost*>(c);
        self->offered.assign(ids, ids + count);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (ids[i] == self->chooseId) return i;
        }
        return preselected;
    }
    static int version(void* c, std::uint32_t* major, std::uint32_t* minor) {
        auto* self = static_cast<ScriptedHost*>(c);
        *major = self->major;
        *minor = self->minor;
        return self->versionKnown ? 1 : 0;
    }
};

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_home = fs::temp_directory_path() / ("tw-setup-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_home);
        for (const char* sub : {"Documents", "config", "run", "package/samples", "package/lib"})
            fs::create_directories(m_home / sub);
        for (const char* sample : {"My Sample Wallet.tm5", "Form Sample.tmx", "Import Sample.txt"})
            write(m_home / "package/samples" / sample, std::string("sample ") + sample);
        languageFiles({0x0409});
        m_documents = (m_home / "Documents").string();
        m_config = (m_home / "config").string();
        m_runtime = (m_home / "run").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_home, ignored);
    }

    static void write(const fs::path& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void languageFiles(std::initializer_list<std::uint32_t> ids) {
        for (std::uint32_t id : ids) {
            char name[64];
            std::snprintf(name, sizeof name, "halvotmpro2006.exe.%04x.mui", id);
            write(m_home / "package/lib" / name, "language");
        }
    }
    DriverOptions options(ScriptedHost& script, bool clean = false) {
        DriverOptions o;
        o.library = TW_SETUP_LIBRARY;
        o.installFolder = (m_home / "package/lib").string();
        o.samplesFolder = (m_home / "package/samples").string();
        o.clean = clean;
        o.host.size = sizeof o.host;
        o.host.context = &script;
        o.host.message = ScriptedHost::message;
        o.host.chooseLanguage = ScriptedHost::choose;
        o.host.systemVersion = ScriptedHost::version;
        o.host.platformType = "PocketPC";
        o.host.documentsFolder = m_documents.c_str();
        o.host.registryFolder = m_config.c_str();
        o.host.runtimeFolder = m_runtime.c_str();
        o.host.uiLanguage = 0x0409;
        o.host.closeTimeoutMs = 300;
        return o;
    }
    std::vector<std::string> samples() const {
        std::vector<std::string> names;
        if (!fs::exists(m_home / "Documents/Tallowmere Samples")) return names;
        for (const auto& e : fs::directory_iterator(m_home / "Documents/Tallowmere Samples"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path samplesFolder() const { return m_home / "Documents/Tallowmere Samples"; }
    IniRegistry registry() const { return IniRegistry(m_config); }

    fs::path m_home;
    std::string m_documents, m_config, m_runtime;
};

TEST_F(SetupTest, installNamesTheSamplesInTheChosenLanguage) {
    struct Case {
        std::uint32_t language;
        std::vector<std::string> names;  // sorted
    };
    const Case cases[] = {
        {0x0409, {"Form Sample.tmx", "Import Sample.txt", "My Sample Wallet.tm5"}},
        {0x0407, {"Formularbeispiel.tmx", "Import Beispiel.txt", "Mein Beispielwallet.tm5"}},
        {0x040c, {"Formulaire Sample.tmx", "Importer Sample.txt", "Mon portefeuille Wallet.tm5"}},
        {0x0413, {"Importeer voorbeeld.txt", "Mijn voorbeeld portefeuille.tm5", "Voorbeeldformulier.tmx"}},
        {0x0410, {"Esempio di Form.tmx", "Il mio portafoglio di esempio.tm5", "Importa Esempio.txt"}},
        {0x0c0a, {"Ejemplo Formulario.tmx", "Ejemplo Importación.txt", "Mi Cartera Ejemplo.tm5"}},
        {0x0414, {"Eksempel Import.txt", "Eksempel Skjema.tmx", "Eksempel mitt lommearkiv.tm5"}},
        {0x0419, {"Import Sample.txt", "Мой Бумажник Образец.tm5", "Форма Образец.tmx"}},
        {0x041d, {"Förebild Formulär.tmx", "Importerat Förbild.txt", "Min Förebild Plånbok.tm5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.language);
        fs::remove_all(samplesFolder());
        fs::remove_all(m_config);
        languageFiles({c.language});
        ScriptedHost script;
        script.chooseId = c.language;
        ASSERT_EQ(runInstall(options(script)), DriverResult::Done);
        EXPECT_EQ(samples(), c.names);
        IniRegistry r = registry();
        EXPECT_EQ(r.readDword(RegistryRoot::CurrentUser, kSettingsKey, u"LangPref"), c.language);
        const std::string wallet = c.names[0].ends_with(".tm5")   ? c.names[0]
                                   : c.names[1].ends_with(".tm5") ? c.names[1]
                                                                  : c.names[2];
        EXPECT_EQ(r.readString(RegistryRoot::CurrentUser, kSettingsKey, u"MRU"),
                  fromUtf8((samplesFolder() / wallet).string()));
        // The wallet sample is the package's wallet, whatever its name.
        EXPECT_EQ(read(samplesFolder() / wallet), "sample My Sample Wallet.tm5");
        ASSERT_EQ(script.shown.size(), 1u);  // the welcome
        EXPECT_NE(script.shown[0].text.find("Version 6.54"), std::string::npos);
        EXPECT_NE(script.shown[0].text.find("2007"), std::string::npos);
    }
}

TEST_F(SetupTest, aSingleLanguageIsTakenWithoutAsking) {
    ScriptedHost script;
    ASSERT_EQ(runInstall(options(script)), DriverResult::Done);
    EXPECT_TRUE(script.offered.empty());
    EXPECT_EQ(registry().readDword(RegistryRoot::CurrentUser, kSettingsKey, u"LangPref"), 0x0409u);
    // The package's language files all stay: the package owns them.
    EXPECT_TRUE(fs::exists(m_home / "package/lib/halvotmpro2006.exe.0409.mui"));
}

TEST_F(SetupTest, reinstallingKeepsTheUsersFilesAndLastWallet) {
    languageFiles({0x0407});
    fs::create_directories(samplesFolder());
    // Wallets with real data under the German name and under the English one (from an earlier
    // English installation), and an edited import table.
    write(samplesFolder() / "Mein Beispielwallet.tm5", "real data");
    write(samplesFolder() / "My Sample Wallet.tm5", "older real data");
    write(samplesFolder() / "Import Sample.txt", "edited table");
    {
        IniRegistry r = registry();
        ASSERT_TRUE(r.createKey(RegistryRoot::CurrentUser, kSettingsKey));
        r.writeString(RegistryRoot::CurrentUser, kSettingsKey, u"MRU", u"/home/anna/Documents/Home.tm5");
    }
    ScriptedHost script;
    script.chooseId = 0x0407;
    ASSERT_EQ(runInstall(options(script)), DriverResult::Done);
    EXPECT_EQ(script.offered, (std::vector<std::uint32_t>{0x0407, 0x0409}));
    EXPECT_EQ(read(samplesFolder() / "Mein Beispielwallet.tm5"), "real data");
    EXPECT_EQ(read(samplesFolder() / "My Sample Wallet.tm5"), "older real data");
    EXPECT_EQ(read(samplesFolder() / "Import Sample.txt"), "edited table");
    EXPECT_EQ(samples(), (std::vector<std::string>{"Formularbeispiel.tmx", "Import Sample.txt",
                                                   "Mein Beispielwallet.tm5", "My Sample Wallet.tm5"}));
    EXPECT_EQ(registry().readString(RegistryRoot::CurrentUser, kSettingsKey, u"MRU"),
              std::u16string(u"/home/anna/Documents/Home.tm5"));
}

TEST_F(SetupTest, installStopsOnAnotherSystemVersionOrACancelledWelcome) {
    struct Case {
        std::uint32_t major, minor;
        bool known;
        int answer;
        DriverResult expected;
    };
    const Case cases[] = {
        {5, 1, true, TW_IDOK, DriverResult::Done},          {5, 2, true, TW_IDOK, DriverResult::Done},
        {5, 0, true, TW_IDOK, DriverResult::Cancelled},     {6, 0, true, TW_IDOK, DriverResult::Cancelled},
        {4, 21, true, TW_IDOK, DriverResult::Cancelled},    {5, 1, false, TW_IDOK, DriverResult::Cancelled},
        {5, 1, true, TW_IDCANCEL, DriverResult::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.major) + "." + std::to_string(c.minor) + " answer " + std::to_string(c.answer));
        fs::remove_all(samplesFolder());
        ScriptedHost script;
        script.major = c.major;
        script.minor = c.minor;
        script.versionKnown = c.known;
        script.answer = c.answer;
        EXPECT_EQ(runInstall(options(script)), c.expected);
        EXPECT_EQ(samples().empty(), c.expected == DriverResult::Cancelled);
    }
}

TEST_F(SetupTest, removalAsksUnlessCleanAndRemovesOnlyTheSettings) {
    struct Case {
        const char* name;
        bool cleanAtInstall;  // the package's "Clean", kept as "Clean2"
        bool cleanAtRemoval;
        int answer;
        bool otherMakerKey;
        bool removed;
        std::size_t messages;  // question and farewell, or none when silent
    };
    const Case cases[] = {
        {"asked, yes", false, false, TW_IDYES, false, true, 2},
        {"asked, no", false, false, TW_IDNO, false, false, 2},
        {"Clean at removal", false, true, TW_IDNO, false, true, 0},
        {"Clean at install", true, false, TW_IDNO, false, true, 0},
        {"asked, yes, another key of the maker", false, false, TW_IDYES, true, true, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_config);
        ScriptedHost installer;
        ASSERT_EQ(runInstall(options(installer, c.cleanAtInstall)), DriverResult::Done);
        if (c.cleanAtInstall) {
            // The package's value goes with the package; its copy stays with the user.
            registry().deleteValue(RegistryRoot::CurrentUser, kSettingsKey, u"Clean");
        }
        if (c.otherMakerKey) registry().createKey(RegistryRoot::CurrentUser, u"SOFTWARE\\Halvorsgarden\\Other");
        const std::vector<std::string> before = samples();

        ScriptedHost script;
        script.answer = c.answer;
        ASSERT_EQ(runUninstall(options(script, c.cleanAtRemoval)), DriverResult::Done);
        IniRegistry r = registry();
        EXPECT_EQ(!r.openKey(RegistryRoot::CurrentUser, kSettingsKey), c.removed);
        EXPECT_EQ(r.openKey(RegistryRoot::CurrentUser, u"SOFTWARE\\Halvorsgarden"), !c.removed || c.otherMakerKey);
        EXPECT_EQ(script.shown.size(), c.messages);
        if (c.messages == 2) {
            EXPECT_EQ(script.shown[0].style & 0xF, static_cast<std::uint32_t>(TW_MB_YESNO));
        }
        // The user's files stay.
        EXPECT_EQ(samples(), before);
    }
}

// A stand-in for the running program: holds the instance lock, listens on its socket, and lets go
// of the lock `releaseAfter` after a Close message (never, when negative).
class RunningProgram {
public:
    RunningProgram(const std::string& folder, std::chrono::milliseconds releaseAfter) {
        const std::string socketPath = folder + "/hgtmpro5.mtx";
        m_lock = ::open((socketPath + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        ::flock(m_lock, LOCK_EX);
        m_server = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
        ::bind(m_server, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_server, 1);
        m_thread = std::thread([this, releaseAfter] {
            const int client = ::accept(m_server, nullptr, nullptr);
            if (client < 0) return;
            unsigned char frame[8] = {};
            const ssize_t got = ::recv(client, frame, sizeof frame, MSG_WAITALL);
            m_frame.assign(frame, frame + std::max<ssize_t>(got, 0));
            ::close(client);
            if (releaseAfter.count() < 0) return;
            std::this_thread::sleep_for(releaseAfter);
            m_released = true;
            ::flock(m_lock, LOCK_UN);
        });
    }
    ~RunningProgram() {
        ::shutdown(m_server, SHUT_RDWR);
        m_thread.join();
        ::close(m_server);
        ::close(m_lock);
    }
    std::vector<unsigned char> frame() {
        m_thread.join();
        m_thread = std::thread([] {});
        return m_frame;
    }
    bool released() const { return m_released; }

private:
    int m_lock = -1;
    int m_server = -1;
    std::thread m_thread;
    std::vector<unsigned char> m_frame;
    std::atomic<bool> m_released{false};
};

TEST_F(SetupTest, removalClosesTheRunningProgramAndWaitsAWhile) {
    ScriptedHost script;
    {
        RunningProgram program(m_runtime, std::chrono::milliseconds(100));
        DriverOptions patient = options(script, true);
        patient.host.closeTimeoutMs = 10000;
        ASSERT_EQ(runUninstall(patient), DriverResult::Done);
        EXPECT_TRUE(program.released());  // removal went on only once the program had ended
        EXPECT_EQ(program.frame(), (std::vector<unsigned char>{1, 0, 0, 0, 4}));
    }
    fs::remove(m_runtime + "/hgtmpro5.mtx");
    {
        // A program that does not end holds the removal up no longer than the time limit.
        RunningProgram program(m_runtime, std::chrono::milliseconds(-1));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(runUninstall(options(script, true)), DriverResult::Done);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_GE(waited, std::chrono::milliseconds(300));
        EXPECT_LT(waited, std::chrono::seconds(10));
    }
}

}  // namespace

}  // namespace tw::setup
