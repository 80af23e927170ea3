// The main window as far as it is built: opening a wallet from files on disk with the password
// dialog, what a cancel or a failure leaves, and the wallet chooser coming back.
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <deque>
#include <fstream>

#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support_qt/UiFixture.h"
#include "views/EnterPasswordDialog.h"
#include "views/ObjectNames.h"

namespace tw::shell {

namespace {

class ListChooser final : public WalletChooser {
public:
    std::deque<std::optional<std::string>> answers;
    int asked = 0;
    std::optional<std::string> choose(QWidget*) override {
        ++asked;
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// Types `password` into the next password dialog once it is shown (an empty text cancels it).
void answerPasswordDialog(const QString& password) {
    QTimer::singleShot(0, [password] {
        auto* dialog = qobject_cast<ui::EnterPasswordDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            answerPasswordDialog(password);
            return;
        }
        if (password.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->findChild<QLineEdit*>(ui::names::kPasswordEdit)->setText(password);
        dialog->accept();
    });
}

QStringList topLevelTexts(const QTreeView* tree) {
    QStringList texts;
    for (int i = 0; i < tree->model()->rowCount(); ++i) texts.append(tree->model()->index(i, 0).data().toString());
    return texts;
}

struct Frame {
    test::UiFixture f;
    PosixFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{7};
    FakeSystem system;
    Env env{files, clock, random, f.strings, f.prompt, system};
    WalletFile wallet{env};
    ListChooser chooser;
    MainFrame frame{f.ui, wallet, chooser, MainFrame::OpenOptions{}};
    QTemporaryDir folder;

    std::string path(const char* name) {
        return (folder.path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
    }
    std::string makeWallet(const char* name) {
        const std::string p = path(name);
        if (createWallet(env, p, u"open sesame", {}, true) != CreateResult::Ok) qFatal("no wallet");
        return p;
    }
};

}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT

private slots:
    void anOpenedWalletShowsItsTreeAndBecomesTheLastWallet() {
        Frame t;
        const std::string home = t.makeWallet("Home.tm5");
        answerPasswordDialog(QStringLiteral("open sesame"));
        QVERIFY(t.frame.openWallet(home, false));
        QVERIFY(t.wallet.isOpen());
        QCOMPARE(topLevelTexts(t.frame.tree()),
                 (QStringList{QStringLiteral("#20200"), QStringLiteral("#20510"), QStringLiteral("#20203")}));
        QCOMPARE(t.frame.windowTitle(), QStringLiteral("Home - Tallowmere Pro 6"));
        QVERIFY(t.f.settings.mru == fromUtf8(home));

        // Exit writes and closes the wallet.
        t.frame.show();
        t.frame.exitProgram();
        QVERIFY(!t.wallet.isOpen());
        QVERIFY(!t.frame.isVisible());
    }

    // Another program stored icon number 150 in a folder: the opened window mends it to the
    // first built-in icon, marks the icon changed and saves the folder; the file keeps it.
    void anIconNumberOutOfRangeIsMendedOnceTheTreeIsShown() {
        Frame t;
        const std::string home = t.makeWallet("Home.tm5");
        std::uint64_t at = 0;
        RecordId id;
        {
            WalletFile w(t.env);
            QCOMPARE(w.readAll(home, u"open sesame", false), OpenResult::Ok);
            RecordHeader folder = w.newFolder({}, false);
            folder.putName(u"Odd icon", w.recordKey());
            const std::int64_t position = w.appendFolder(folder);
            QVERIFY(position >= 0);
            id = w.index().at(static_cast<std::size_t>(position)).id();
            QVERIFY(w.findInFile(id, &at));
            w.close();
        }
        {
            std::fstream file(home, std::ios::in | std::ios::out | std::ios::binary);
            const std::int32_t number = 150;  // stored little-endian, as on every machine we build for
            file.seekp(static_cast<std::streamoff>(at + RecordHeader::kIconIndex));
            file.write(reinterpret_cast<const char*>(&number), sizeof number);
        }
        answerPasswordDialog(QStringLiteral("open sesame"));
        QVERIFY(t.frame.openWallet(home, false));
        t.frame.exitProgram();

        WalletFile again(t.env);
        QCOMPARE(again.readAll(home, u"open sesame", false), OpenResult::Ok);
        const std::int64_t position = again.index().find(id);
        QVERIFY(position >= 0);
        const IndexEntry& header = again.index().at(static_cast<std::size_t>(position));
        QCOMPARE(header.iconIndex(), 0);
        QVERIFY(header.changeFlags() & change::kIcon);
    }

    void aCancelledPasswordLeavesNoWallet() {
        Frame t;
        const std::string home = t.makeWallet("Home.tm5");
        t.f.settings.mru = u"/kept.tm5";
        answerPasswordDialog({});
        QVERIFY(!t.frame.openWallet(home, true));
        QVERIFY(!t.wallet.isOpen());
        QCOMPARE(t.frame.tree()->model()->rowCount(), 0);
        QCOMPARE(t.frame.windowTitle(), QStringLiteral("Tallowmere Pro 2006"));
        QVERIFY(t.f.prompt.shown.empty());
        QVERIFY(t.f.settings.mru == u"/kept.tm5");
        QTest::qWait(20);
        QCOMPARE(t.chooser.asked, 0);  // a cancel is no failure: the chooser does not come back
    }

    void aFailedOpenSaysWhyAndTheChooserComesBack() {
        Frame t;
        const std::string notes = t.path("notes.tm5");
        QFile file(QString::fromStdString(notes));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(300, 'x'));
        file.close();
        const std::string home = t.makeWallet("Home.tm5");
        t.chooser.answers = {home};
        t.frame.show();
        answerPasswordDialog(QStringLiteral("open sesame"));
        QVERIFY(!t.frame.openWallet(notes, true));
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#23016\nnotes\n(07)")});
        QCOMPARE(t.f.prompt.shown[0].icon, Icon::Stop);
        QTRY_VERIFY(t.wallet.isOpen());
        QCOMPARE(t.chooser.asked, 1);
        QCOMPARE(t.frame.windowTitle(), QStringLiteral("Home - Tallowmere Pro 6"));

        // Choosing nothing ends the program.
        QCOMPARE(t.frame.showWalletsManager(), -1);
        QVERIFY(!t.wallet.isOpen());
    }
};

}  // namespace tw::shell

TW_QTEST_MAIN(tw::shell::MainFrameTest)
#include "MainFrameTest.moc"
