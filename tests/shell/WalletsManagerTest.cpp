// The wallets manager over a temporary documents folder and a fake removable medium: the list,
// new, copy, rename and delete with their questions, and opening from it into the main window.
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "shell/MainFrame.h"
#include "shell/WalletsManager.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support_qt/UiFixture.h"
#include "views/EnterPasswordDialog.h"
#include "views/NewPasswordDialog.h"
#include "views/ObjectNames.h"

namespace tw::shell {

namespace {

// Runs `step` on the next modal dialog of type T once it is shown.
template <typename T>
void onDialog(std::function<void(T*)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) {
            onDialog<T>(step);
            return;
        }
        step(dialog);
    });
}

QStringList rows(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts.append(list->item(i)->text());
    return texts;
}

struct Manager {
    test::UiFixture f;
    PosixFileSystem files;
    FixedClock clock{SystemTime{2026, 12, 4, 10, 9, 30, 15, 0}};
    SequenceRandom random{7};
    FakeSystem system;
    Env env{files, clock, random, f.strings, f.prompt, system};
    QTemporaryDir root;
    WalletPlaces places;

    Manager() {
        QDir(root.path()).mkpath(QStringLiteral("docs"));
        QDir(root.path()).mkpath(QStringLiteral("card"));
        places.documents = path(QStringLiteral("docs"));
        places.removable = [this] { return std::vector<std::string>{path(QStringLiteral("card"))}; };
    }
    std::string path(const QString& relative) const {
        return QFile::encodeName(QDir(root.path()).canonicalPath() + QLatin1Char('/') + relative).toStdString();
    }
    std::string wallet(const QString& relative) {
        const std::string p = path(relative);
        QDir().mkpath(QFileInfo(QString::fromStdString(p)).path());
        if (createWallet(env, p, u"open sesame", {}, true) != CreateResult::Ok) qFatal("no wallet");
        return p;
    }
    void plainFile(const QString& relative) {
        QDir().mkpath(QFileInfo(QString::fromStdString(path(relative))).path());
        QFile file(QString::fromStdString(path(relative)));
        file.open(QIODevice::WriteOnly);
        file.write("older wallet");
    }
    static void select(WalletsManagerDialog& d, const QString& name) {
        const auto found = d.list()->findItems(name, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        d.list()->setCurrentItem(found.first());
    }
};

}  // namespace

class WalletsManagerTest : public QObject {
    Q_OBJECT

private slots:
    void listsWalletsOfBothPlacesCurrentFirst() {
        Manager m;
        m.wallet(QStringLiteral("docs/Home.tm5"));
        m.wallet(QStringLiteral("docs/home.tm5"));
        m.wallet(QStringLiteral("docs/Tallowmere Samples/Sample.tm5"));
        m.plainFile(QStringLiteral("docs/Old.wal"));
        m.plainFile(QStringLiteral("docs/Locked.tm5"));
        ::chmod(m.path(QStringLiteral("docs/Locked.tm5")).c_str(), 0);
        m.wallet(QStringLiteral("card/Documents/Travel.tm5"));
        WalletsManagerDialog d(m.f.ui, m.places);
        QCOMPARE(rows(d.list()),
                 (QStringList{QStringLiteral("Home"), QStringLiteral("home"), QStringLiteral("Locked"),
                              QStringLiteral("Sample"), QStringLiteral("Travel"), QStringLiteral("Old")}));
        Manager::select(d, QStringLiteral("home"));
        QCOMPARE(d.selectedPath(), m.path(QStringLiteral("docs/home.tm5")));
    }

    void theMenuOffersRowCommandsOnlyForARowAndExitWhenSet() {
        Manager m;
        auto actions = [](WalletsManagerDialog& d) {
            QMenu* menu = d.findChild<QPushButton*>(QStringLiteral("walletsMenuButton"))->menu();
            emit menu->aboutToShow();
            QStringList enabled;
            for (QAction* a : menu->actions()) {
                if (!a->isSeparator() && a->isEnabled()) enabled.append(a->objectName());
            }
            return enabled;
        };
        {
            WalletsManagerDialog empty(m.f.ui, m.places);
            QCOMPARE(actions(empty), (QStringList{QStringLiteral("newAction"), QStringLiteral("aboutAction")}));
        }
        m.wallet(QStringLiteral("docs/Home.tm5"));
        m.f.settings.exitMenu = 1;
        WalletsManagerDialog d(m.f.ui, m.places);
        QCOMPARE(actions(d),
                 (QStringList{QStringLiteral("newAction"), QStringLiteral("openAction"), QStringLiteral("deleteAction"),
                              QStringLiteral("copyAction"), QStringLiteral("renameAction"),
                              QStringLiteral("aboutAction"), QStringLiteral("exitAction")}));
    }

    void copyAddsTheNextNameAndSelectsIt() {
        Manager m;
        m.wallet(QStringLiteral("docs/Home.tm5"));
        WalletsManagerDialog d(m.f.ui, m.places);
        Manager::select(d, QStringLiteral("Home"));
        d.copySelected();
        Manager::select(d, QStringLiteral("Home"));
        d.copySelected();
        QCOMPARE(rows(d.list()),
                 (QStringList{QStringLiteral("Home"), QStringLiteral("Home(2)"), QStringLiteral("Home(3)")}));
        QCOMPARE(d.list()->currentItem()->text(), QStringLiteral("Home(3)"));
        QVERIFY(m.f.prompt.shown.empty());
    }

    void deleteAsksAndRemovesOnlyTheChosenFile() {
        Manager m;
        const std::string home = m.wallet(QStringLiteral("docs/Home.tm5"));
        const std::string other = m.wallet(QStringLiteral("docs/home.tm5"));
        WalletsManagerDialog d(m.f.ui, m.places);
        Manager::select(d, QStringLiteral("Home"));
        m.f.prompt.answers = {Answer::No, Answer::Yes};
        d.deleteSelected();
        QVERIFY(m.files.exists(home));
        d.deleteSelected();
        QVERIFY(!m.files.exists(home));
        QVERIFY(m.files.exists(other));
        QCOMPARE(rows(d.list()), QStringList{QStringLiteral("home")});
        QCOMPARE(m.f.prompt.shown.size(), 2u);
        QVERIFY(m.f.prompt.shown[0].text.starts_with(u"#22011"));
        QCOMPARE(m.f.prompt.shown[0].buttons, Buttons::YesNo);
    }

    void renameRefusesBadNamesAndFollowsTheLastWallet() {
        Manager m;
        const std::string home = m.wallet(QStringLiteral("docs/Home.tm5"));
        m.wallet(QStringLiteral("docs/Taken.tm5"));
        m.f.settings.mru = fromUtf8(home);
        WalletsManagerDialog d(m.f.ui, m.places);
        Manager::select(d, QStringLiteral("Home"));

        // A colon is refused and the dialog stays; an existing name is refused after it closes.
        onDialog<WalletNameDialog>([](WalletNameDialog* n) {
            n->nameEdit()->setText(QStringLiteral("a:b"));
            n->accept();
            QVERIFY(n->isVisible());
            n->nameEdit()->setText(QStringLiteral("Taken"));
            n->accept();
        });
        d.renameSelected();
        QCOMPARE(test::shownTexts(m.f.prompt), (QStringList{QStringLiteral("#23007"), QStringLiteral("#25755")}));
        QVERIFY(m.files.exists(home));

        onDialog<WalletNameDialog>([](WalletNameDialog* n) {
            n->nameEdit()->setText(QStringLiteral("Haus"));
            n->accept();
        });
        d.renameSelected();
        QVERIFY(!m.files.exists(home));
        QCOMPARE(d.list()->currentItem()->text(), QStringLiteral("Haus"));
        QVERIFY(m.f.settings.mru == fromUtf8(m.path(QStringLiteral("docs/Haus.tm5"))));
    }

    void newWalletIsCreatedWhereChosenAfterItsPassword() {
        Manager m;
        m.wallet(QStringLiteral("docs/Home.tm5"));
        WalletsManager chooser(m.f.ui, m.env, m.places);

        // First round: an existing name is refused, an empty one cancels; the manager stays.
        // Second round: a new wallet on the card, its password cancelled: the manager comes back.
        // Third round: the same name, with a password: created.
        int round = 0;
        std::function<void()> drive = [&] {
            onDialog<WalletsManagerDialog>([&](WalletsManagerDialog* d) {
                ++round;
                if (round == 1) {
                    onDialog<WalletNameDialog>([](WalletNameDialog* n) {
                        QVERIFY(n->placeChooser()->isEnabled());
                        n->nameEdit()->setText(QStringLiteral("Home"));
                        n->accept();
                        QVERIFY(n->isVisible());
                        n->nameEdit()->clear();
                        n->accept();
                    });
                    d->newWallet();
                    QVERIFY(d->isVisible());
                }
                onDialog<WalletNameDialog>([](WalletNameDialog* n) {
                    n->nameEdit()->setText(QStringLiteral("Travel"));
                    n->placeChooser()->setCurrentIndex(1);
                    n->accept();
                });
                onDialog<ui::NewPasswordDialog>([round](ui::NewPasswordDialog* p) {
                    if (round < 3) {
                        p->reject();
                        return;
                    }
                    p->findChild<QLineEdit*>(ui::names::kPasswordEdit)->setText(QStringLiteral("secret"));
                    p->findChild<QLineEdit*>(ui::names::kConfirmEdit)->setText(QStringLiteral("secret"));
                    p->accept();
                });
                d->newWallet();
                // Only now: until newWallet() returns, this manager is still the active dialog.
                if (round < 3) drive();
            });
        };
        drive();
        const std::optional<std::string> chosen = chooser.choose(nullptr);
        QCOMPARE(round, 3);
        QVERIFY(chosen.has_value());
        // On the card, wallets go into a folder named as the documents folder.
        QCOMPARE(*chosen, m.path(QStringLiteral("card/docs/Travel.tm5")));
        QCOMPARE(test::shownTexts(m.f.prompt), QStringList{QStringLiteral("#23011")});
        WalletFile wallet(m.env);
        QCOMPARE(wallet.open(*chosen, u"secret", false), OpenResult::Ok);
    }

    void openWithWrongThenRightPasswordAndCancelEnds() {
        Manager m;
        const std::string home = m.wallet(QStringLiteral("docs/Home.tm5"));
        WalletFile wallet(m.env);
        WalletsManager chooser(m.f.ui, m.env, m.places);
        MainFrame frame(m.f.ui, wallet, chooser, MainFrame::OpenOptions{});
        onDialog<WalletsManagerDialog>([](WalletsManagerDialog* d) {
            Manager::select(*d, QStringLiteral("Home"));
            // The wrong password is refused in the dialog, which stays for the right one.
            onDialog<ui::EnterPasswordDialog>([](ui::EnterPasswordDialog* p) {
                auto* edit = p->findChild<QLineEdit*>(ui::names::kPasswordEdit);
                edit->setText(QStringLiteral("wrong"));
                p->accept();
                QVERIFY(p->isVisible());
                edit->setText(QStringLiteral("open sesame"));
                p->accept();
            });
            d->accept();
        });
        QCOMPARE(frame.showWalletsManager(), 1);
        QTRY_VERIFY(wallet.isOpen());
        QCOMPARE(test::shownTexts(m.f.prompt), QStringList{QStringLiteral("#27006")});
        QVERIFY(m.f.settings.mru == fromUtf8(home));

        // An unreadable file fails to open and the manager comes back; cancelling it ends.
        m.plainFile(QStringLiteral("docs/Locked.tm5"));
        ::chmod(m.path(QStringLiteral("docs/Locked.tm5")).c_str(), 0);
        onDialog<WalletsManagerDialog>([](WalletsManagerDialog* d) {
            Manager::select(*d, QStringLiteral("Locked"));
            d->accept();
            onDialog<WalletsManagerDialog>([](WalletsManagerDialog* again) { again->reject(); });
        });
        frame.show();
        QCOMPARE(frame.showWalletsManager(), 1);
        QTRY_VERIFY(!frame.isVisible());
        QVERIFY(!wallet.isOpen());
    }

    void tenThousandFilesAreListed() {
        Manager m;
        for (int i = 0; i < 10000; ++i) {
            QFile file(QString::fromStdString(m.path(QStringLiteral("docs/w%1.tm5").arg(i, 5, 10, QLatin1Char('0')))));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        for (int i = 0; i < 50; ++i) m.plainFile(QStringLiteral("docs/readme%1.txt").arg(i));
        WalletsManagerDialog d(m.f.ui, m.places);
        QCOMPARE(d.list()->count(), 10000);
        QCOMPARE(d.list()->item(0)->text(), QStringLiteral("w00000"));
        QCOMPARE(d.list()->item(9999)->text(), QStringLiteral("w09999"));
    }
};

}  // namespace tw::shell

TW_QTEST_MAIN(tw::shell::WalletsManagerTest)
#include "WalletsManagerTest.moc"
