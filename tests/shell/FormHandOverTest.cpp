// A form-layout file opened from the file manager: offered for import into the open wallet, never
// opened as a wallet; and the hand-over message a second start sends for it.
#include <QFile>
#include <QTemporaryDir>

#include "platform/PosixFile.h"
#include "samples/Samples.h"
#include "shell/FormHandOver.h"
#include "shell/SingleInstance.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support_qt/UiFixture.h"

namespace tw::shell {

namespace {

struct Fixture {
    test::UiFixture f;
    PosixFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{7};
    FakeSystem system;
    Env env{files, clock, random, f.strings, f.prompt, system};
    WalletFile wallet{env};
    QTemporaryDir folder;

    std::string write(const char* name, const std::vector<std::uint8_t>& bytes) {
        const QString path = folder.path() + QLatin1Char('/') + QLatin1String(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write");
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        return QFile::encodeName(path).toStdString();
    }
    std::size_t records() const { return wallet.index().count(); }
};

}  // namespace

class FormHandOverTest : public QObject {
    Q_OBJECT

private slots:
    void aFormIsOfferedToTheOpenWalletOnly() {
        Fixture t;
        const std::string form = t.write("Club.tmx", samples::formSample());
        const std::string junk = t.write("Junk.tmx", std::vector<std::uint8_t>(600, 0x41));

        // No wallet open: the user is told what to do; nothing is read.
        QVERIFY(!offerFormImport(t.f.ui, t.wallet, form));
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#25763")});

        const std::string walletPath = QFile::encodeName(t.folder.path() + QStringLiteral("/Home.tm5")).toStdString();
        QCOMPARE(createWallet(t.env, walletPath, u"open sesame", {}, true), CreateResult::Ok);
        QCOMPARE(t.wallet.readAll(walletPath, u"open sesame", false), OpenResult::Ok);
        const std::size_t before = t.records();

        // Declined: nothing written. Agreed: one new form.
        t.f.prompt.shown.clear();
        t.f.prompt.answers = {Answer::No, Answer::Yes};
        QVERIFY(!offerFormImport(t.f.ui, t.wallet, form));
        QCOMPARE(t.records(), before);
        QVERIFY(offerFormImport(t.f.ui, t.wallet, form));
        QCOMPARE(t.records(), before + 1);
        QCOMPARE(t.f.prompt.shown.size(), 2u);
        QCOMPARE(t.f.prompt.shown[0].buttons, Buttons::YesNo);

        // A file that is no form-layout file is reported, not imported.
        t.f.prompt.shown.clear();
        QVERIFY(!offerFormImport(t.f.ui, t.wallet, junk));
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#22070")});
        QCOMPARE(t.records(), before + 1);
    }

    void theImportMessageTravelsWhole() {
        const InstanceMessage sent{InstanceMessageType::ImportForm, QStringLiteral("/home/anna/Club Form.tmx")};
        InstanceMessageReader reader;
        reader.append(encodeInstanceMessage(sent));
        QCOMPARE(reader.next(), std::optional<InstanceMessage>(sent));
        QVERIFY(!reader.failed());
    }
};

}  // namespace tw::shell

TW_QTEST_MAIN(tw::shell::FormHandOverTest)
#include "FormHandOverTest.moc"
