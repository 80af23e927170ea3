// The settings through the registry as it is stored (INI files), including a damaged file.
#include <QFile>
#include <QTemporaryDir>

#include "app/Settings.h"
#include "platform/IniRegistry.h"
#include "support_qt/UiFixture.h"

namespace tw::app {

class SettingsStoreTest : public QObject {
    Q_OBJECT

private slots:
    void savedSettingsReadBackInTheNextRun() {
        QTemporaryDir folder;
        {
            IniRegistry registry(folder.path().toStdString());
            Settings s = Settings::defaults(DeviceKind::Smartphone);
            loadSettings(s, registry, DeviceKind::Smartphone, {});
            s.fontMain = 12;
            s.mru = u"/home/u/Wallets/Ünïcode name.tm5";
            s.passNumeric = 0;
            s.keys[7] = 5;
            saveSettings(s, registry, DeviceKind::Smartphone);
        }
        IniRegistry registry(folder.path().toStdString());
        Settings s = Settings::defaults(DeviceKind::Smartphone);
        loadSettings(s, registry, DeviceKind::Smartphone, {});
        QCOMPARE(s.fontMain, 12u);
        QVERIFY(s.mru == u"/home/u/Wallets/Ünïcode name.tm5");
        QCOMPARE(s.passNumeric, 0u);
        QCOMPARE(s.keys[7], 5u);
        QCOMPARE(s.runCount, 1u);
        QCOMPARE(s.version, 654u);
    }

    void aDamagedFileLeavesDefaultsAndNeverStopsTheProgram() {
        QTemporaryDir folder;
        QFile file(folder.filePath(QStringLiteral("registry-hkcu.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "[SOFTWARE]\n"
            "Halvorsgarden\\Tallowmere%20Pro%205\\FontMain=dword:zz\n"
            "Halvorsgarden\\Tallowmere%20Pro%205\\FontCard=dword:0000000c\n"
            "Halvorsgarden\\Tallowmere%20Pro%205\\OpenLast=sz:yes\n"
            "\x01\xff garbage line without equals\n"
            "Halvorsgarden\\Tallowmere%20Pro%205\\MRU=hex:00\n");
        file.close();
        IniRegistry registry(folder.path().toStdString());
        Settings s = Settings::defaults(DeviceKind::PocketPC);
        loadSettings(s, registry, DeviceKind::PocketPC, {});
        QCOMPARE(s.fontMain, 9u);
        QCOMPARE(s.fontCard, 12u);
        QCOMPARE(s.openLast, 1u);
        QVERIFY(s.mru.empty());
        saveSettings(s, registry, DeviceKind::PocketPC);
        QCOMPARE(
            registry.readDword(RegistryRoot::CurrentUser, u"SOFTWARE\\Halvorsgarden\\Tallowmere Pro 5", u"FontMain"),
            std::optional<std::uint32_t>(9));
    }
};

}  // namespace tw::app

TW_QTEST_MAIN(tw::app::SettingsStoreTest)
#include "SettingsStoreTest.moc"
