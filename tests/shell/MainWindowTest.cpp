// The main window over a small wallet: commands through their menu entries and their keys, with
// the file read again afterwards; drag and drop; find; the clipboard; automatic closing on a
// clock the test moves.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QTreeView>

#include "platform/Launcher.h"
#include "platform/SecretClipboard.h"
#include "platform/Text.h"
#include "shell/AutoClose.h"
#include "shell/CommandTable.h"
#include "shell/MainFrame.h"
#include "shell/WalletChooser.h"
#include "shell/WalletTreeModel.h"
#include "support/TreeFixtures.h"
#include "support_qt/UiFixture.h"

namespace tw::shell {

namespace {

class NoChooser final : public WalletChooser {
public:
    std::optional<std::string> choose(QWidget*) override { return std::nullopt; }
};

// Answers the next input dialog with `text` once it is shown.
void answerInput(const QString& text) {
    QTimer::singleShot(0, [text] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            answerInput(text);
            return;
        }
        dialog->setTextValue(text);
        dialog->accept();
    });
}

// Home/ (Bank card, Gym), Home/Old/ (Letter), Work/ (Badge), My Forms/.
struct Window {
    test::UiFixture f;
    test::FixtureWallet w;
    std::size_t home, old, work, bank, gym, letter, badge;
    ManualElapsedClock clock;
    SessionSignals session;
    RecordingLauncher launcher;
    NoChooser chooser;
    std::unique_ptr<MainFrame> frame;
    int cardsShown = 0;
    CardOutcome cardOutcome = CardOutcome::Unchanged;

    Window() {
        home = w.addFolder(u"Home");
        old = w.addFolder(u"Old", w.id(home));
        work = w.addFolder(u"Work");
        bank = w.addCard(u"Bank card", w.id(home), [](Card& c) { test::addField(c, 7, u"PIN", u"4711"); });
        gym = w.addCard(u"Gym", w.id(home));
        letter = w.addCard(u"Letter", w.id(old));
        badge = w.addCard(u"Badge", w.id(work), [](Card& c) { test::addField(c, 1, u"Number", u"home 12"); });
        MainFrame::Services services;
        services.clock = &clock;
        services.session = &session;
        services.launcher = &launcher;
        services.cardOpener = [this](QWidget*, const ui::UiContext&, CardSession& session) {
            ++cardsShown;
            if (session.isNew && cardOutcome == CardOutcome::Changed)
                session.card.header()->putName(u"Fresh card", w.wallet.recordKey());
            return cardOutcome;
        };
        services.documentsFolder = "/documents";
        frame = std::make_unique<MainFrame>(f.ui, w.wallet, chooser, MainFrame::OpenOptions{}, std::move(services));
        frame->showWallet();
        // Every change the commands make reaches the view through consistent model signals.
        tester = std::make_unique<QAbstractItemModelTester>(frame->model(),
                                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        frame->show();
        QApplication::setActiveWindow(frame.get());
    }
    std::unique_ptr<QAbstractItemModelTester> tester;
    QTreeView* tree() { return frame->tree(); }
    WalletTreeModel* model() { return frame->model(); }
    void select(std::size_t position) {
        const QModelIndex index = model()->indexOf(static_cast<std::int64_t>(position));
        QVERIFY(index.isValid());
        tree()->setCurrentIndex(index);
        QApplication::setActiveWindow(frame.get());
        tree()->setFocus();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(tree(), static_cast<Qt::Key>(key), modifiers);
    }
    // The wallet as it reads from its file after the window let it go.
    std::string reopened() {
        frame->exitProgram();
        if (w.wallet.readAll(test::kWalletPath, test::kPassword, false) != OpenResult::Ok) return "cannot open";
        return test::renderTree(FolderTree::build(w.wallet));
    }
    QStringList rows(const QModelIndex& parent = {}) {
        QStringList texts;
        for (int row = 0; row < model()->rowCount(parent); ++row)
            texts.append(model()->index(row, 0, parent).data().toString());
        return texts;
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void menusFollowThePermissionMaskAndTheDeleteLabel() {
        Window t;
        t.select(t.work);
        QMenu* menu = t.frame->contextMenuFor(t.tree()->currentIndex());
        QVERIFY(menu);
        QVERIFY(t.frame->action(cmd::kNewCard)->isEnabled());
        QVERIFY(!t.frame->action(cmd::kCopy)->isEnabled());  // folders are not copied
        QVERIFY(!t.frame->action(cmd::kPaste)->isEnabled());
        QCOMPARE(t.frame->action(cmd::kDelete)->text(), QStringLiteral("#20725"));
        delete menu;

        t.tree()->setCurrentIndex(t.model()->favouritesIndex());
        QCOMPARE(t.frame->action(cmd::kDelete)->text(), QStringLiteral("#20726"));
        QVERIFY(!t.frame->action(cmd::kCut)->isEnabled());
        // A copied card enables Paste on a folder.
        t.select(t.gym);
        t.key(Qt::Key_C, Qt::ControlModifier);
        t.select(t.work);
        QVERIFY(t.frame->action(cmd::kPaste)->isEnabled());
    }

    void cutAndPasteByKeysMovesTheCardAndLeavesEverythingElse() {
        Window t;
        t.select(t.gym);
        t.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(t.model()->indexOf(t.gym).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::gray));
        t.select(t.badge);  // a card stands for its folder
        t.key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(t.rows(t.model()->indexOf(t.work)), (QStringList{QStringLiteral("Badge"), QStringLiteral("Gym")}));
        QCOMPARE(t.reopened(), std::string("[Favourites]\n"
                                           "Home/\n  Bank card\n  Old/\n    Letter\n"
                                           "Work/\n  Badge\n  Gym\n"
                                           "My Forms/\n"));
    }

    void aCutEndsWithAnyOtherCommand() {
        Window t;
        t.select(t.gym);
        t.frame->action(cmd::kCut)->trigger();
        t.frame->action(cmd::kFind)->trigger();
        QCOMPARE(t.frame->treeClipboard().mode(), app::ClipMode::None);
        QVERIFY(t.model()->indexOf(t.gym).data(Qt::ForegroundRole).value<QColor>() != QColor(Qt::gray));
    }

    void deleteByKeyAsksAndTheTreeFollowsWithoutARebuild() {
        Window t;
        const QPersistentModelIndex workItem = t.model()->indexOf(t.work);
        t.select(t.home);
        t.key(Qt::Key_Delete);
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#22004")});
        QVERIFY(!t.model()->indexOf(t.home).isValid());
        QVERIFY(workItem.isValid());  // untouched items keep their place in the model
        QCOMPARE(t.reopened(), std::string("[Favourites]\nWork/\n  Badge\nMy Forms/\n"));
    }

    void deleteUnderFavouritesRemovesOnlyTheFavourite() {
        Window t;
        t.select(t.gym);
        t.frame->action(cmd::kAddFavourite)->trigger();
        const QModelIndex favourite = t.tree()->currentIndex();
        QCOMPARE(favourite.parent(), t.model()->favouritesIndex());
        QCOMPARE(t.frame->action(cmd::kDelete)->text(), QStringLiteral("#20727"));
        t.frame->action(cmd::kRemove)->trigger();
        QCOMPARE(t.model()->rowCount(t.model()->favouritesIndex()), 0);
        QVERIFY(t.model()->indexOf(t.gym).isValid());
        QCOMPARE(t.reopened(), std::string("[Favourites]\n"
                                           "Home/\n  Bank card\n  Gym\n  Old/\n    Letter\n"
                                           "Work/\n  Badge\n"
                                           "My Forms/\n"));
    }

    void newFolderAndRenameByTheirKeys() {
        Window t;
        t.select(t.work);
        answerInput(QStringLiteral("Receipts"));
        QTest::keyClick(t.frame.get(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(t.tree()->currentIndex().data().toString(), QStringLiteral("Receipts"));

        // Label editing starts only with Rename (F2).
        t.select(t.badge);
        QVERIFY(!(t.model()->flags(t.tree()->currentIndex()) & Qt::ItemIsEditable));
        t.key(Qt::Key_F2);
        auto* editor = t.tree()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("Access badge"));
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(t.model()->indexOf(t.badge).data().toString(), QStringLiteral("Access badge"));
        QCOMPARE(t.reopened(), std::string("[Favourites]\n"
                                           "Home/\n  Bank card\n  Gym\n  Old/\n    Letter\n"
                                           "Work/\n  Access badge\n  Receipts/\n"
                                           "My Forms/\n"));
    }

    void enterOpensACardAndUpOnTheFirstItemGoesToFind() {
        Window t;
        t.select(t.bank);
        t.key(Qt::Key_Return);
        QCOMPARE(t.cardsShown, 1);
        t.tree()->setCurrentIndex(t.model()->index(0, 0));
        t.key(Qt::Key_Up);
        QVERIFY(t.frame->findMode());
        QCOMPARE(t.frame->menuBarId(), 967);
    }

    void theCardWindowsOutcomeReachesTheTree() {
        Window t;
        // Delete asked for in the card window: the main window deletes the card.
        t.cardOutcome = CardOutcome::Deleted;
        t.select(t.gym);
        t.key(Qt::Key_Return);
        QVERIFY(!t.model()->indexOf(t.gym).isValid());
        // A new card accepted in the card window is written and appears in its folder, selected.
        t.cardOutcome = CardOutcome::Changed;
        t.select(t.work);
        QTimer::singleShot(0, [] {
            // The form chooser: its first form.
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->accept();
        });
        t.frame->action(cmd::kNewCard)->trigger();
        QCOMPARE(t.tree()->currentIndex().data().toString(), QStringLiteral("Fresh card"));
        QCOMPARE(t.tree()->currentIndex().parent(), t.model()->indexOf(t.work));
        QCOMPARE(t.reopened(), std::string("[Favourites]\n"
                                           "Home/\n  Bank card\n  Old/\n    Letter\n"
                                           "Work/\n  Badge\n  Fresh card\n"
                                           "My Forms/\n"));
    }

    void dropsMoveRefuseAndBeep() {
        Window t;
        auto drop = [&](std::size_t source, const QModelIndex& target) {
            QMimeData data;
            data.setData(QString::fromLatin1(WalletTreeModel::kMimeType), QByteArray::number(qlonglong(source)));
            return t.model()->canDropMimeData(&data, Qt::MoveAction, -1, 0, target) &&
                   (t.model()->dropMimeData(&data, Qt::MoveAction, -1, 0, target), true);
        };
        drop(t.home, t.model()->indexOf(t.old));  // into its own sub-folder: a beep, nothing moves
        QCOMPARE(t.model()->indexOf(t.old).parent(), t.model()->indexOf(t.home));
        QVERIFY(drop(t.work, t.model()->favouritesIndex()));
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#22000")});
        QVERIFY(drop(t.old, t.model()->indexOf(t.work)));
        QCOMPARE(t.model()->indexOf(t.old).parent(), t.model()->indexOf(t.work));
        QVERIFY(drop(t.bank, t.model()->favouritesIndex()));
        QCOMPARE(t.rows(t.model()->favouritesIndex()), QStringList{QStringLiteral("Bank card")});
        QCOMPARE(t.reopened(), std::string("[Favourites]\n  Bank card\n"
                                           "Home/\n  Bank card\n  Gym\n"
                                           "Work/\n  Badge\n  Old/\n    Letter\n"
                                           "My Forms/\n"));
    }

    void findByEnterListsTheHitsAndSaysWhenThereAreNone() {
        Window t;
        t.frame->action(cmd::kFind)->trigger();
        QLineEdit* box = t.frame->findEdit();
        QVERIFY(box->hasFocus() || !QApplication::focusWidget());
        QCOMPARE(box->maxLength(), 48);
        QTest::keyClicks(box, QStringLiteral("home"));
        QTest::keyClick(box, Qt::Key_Return);
        const QModelIndex results = t.model()->resultsIndex();
        QVERIFY(results.isValid());
        QCOMPARE(t.rows(results), (QStringList{QStringLiteral("Badge")}));  // a match in a field value
        QVERIFY(!t.frame->findMode());
        QCOMPARE(t.tree()->currentIndex(), results);

        t.frame->action(cmd::kFind)->trigger();
        box->setText(QStringLiteral("zebra"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#22155")});
        QVERIFY(t.frame->findMode());
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(!t.frame->findMode());
    }

    void aCopiedCardIsASecretThatTheWindowClearsWhenItCloses() {
        Window t;
        t.f.settings.clipboardClearSeconds = 30;
        t.select(t.bank);
        t.key(Qt::Key_C, Qt::ControlModifier);
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data->text().contains(QStringLiteral("4711")));
        QCOMPARE(data->data(QString::fromLatin1(SecretClipboard::kHintFormat)), QByteArray("secret"));
        QVERIFY(t.frame->secrets().pending());
        t.frame->exitProgram();
        QVERIFY(!QGuiApplication::clipboard()->text().contains(QStringLiteral("4711")));
    }

    void exportWritesTheFolderAndOffersToOpenIt() {
        Window t;
        t.select(t.home);
        QTest::keyClick(t.frame.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(test::shownTexts(t.f.prompt), QStringList{QStringLiteral("#22146\n\n#22147")});
        QCOMPARE(t.launcher.opened.size(), std::size_t{1});
        QVERIFY(t.w.t.files.exists(t.launcher.opened[0]));
        QVERIFY(QString::fromStdString(t.launcher.opened[0]).startsWith(QStringLiteral("/documents/")));
    }

    void theIdleRuleClosesOnTheElapsedClockNotTheWallClock() {
        Window t;
        t.w.wallet.settings().setCloseMinutes(1, t.w.t.clock.localTime());
        t.frame->showWallet();
        QVERIFY(t.frame->autoClose().armed());
        QVERIFY(t.session.holdingSleep());
        // A key pressed in the window is activity: the minute starts again.
        t.clock.advance(59'000);
        t.select(t.gym);
        t.key(Qt::Key_Down);
        t.clock.advance(59'000);
        // The wall clock set back changes nothing.
        t.w.t.clock.set(SystemTime{2020, 1, 3, 1, 0, 0, 0, 0});
        QVERIFY(!t.frame->autoClose().check());
        QVERIFY(t.w.wallet.isOpen());
        t.clock.advance(1'000);
        // The check on activation finds it due.
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(t.frame.get());
        t.frame->autoClose().check();
        QTRY_VERIFY(!t.w.wallet.isOpen());
        QVERIFY(!t.session.holdingSleep());
    }

    void closingCancelsAnOpenDialogAndAsksNothing() {
        Window t;
        t.w.wallet.settings().setCloseMinutes(5, t.w.t.clock.localTime());
        t.frame->showWallet();
        QTimer::singleShot(0, [&] {
            QVERIFY(QApplication::activeModalWidget());
            emit t.session.locked();
        });
        t.frame->action(cmd::kSecurity)->trigger();  // runs the dialog until the lock closes it
        QTRY_VERIFY(!t.w.wallet.isOpen());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(t.f.prompt.shown.empty());
    }

    void aWalletWithoutIntervalStaysOpenOnLock() {
        Window t;
        t.w.wallet.settings().setCloseMinutes(0, t.w.t.clock.localTime());
        t.frame->showWallet();
        QVERIFY(!t.frame->autoClose().armed());
        emit t.session.locked();
        emit t.session.suspending();
        QTest::qWait(10);
        QVERIFY(t.w.wallet.isOpen());
    }
};

}  // namespace tw::shell

TW_QTEST_MAIN(tw::shell::MainWindowTest)
#include "MainWindowTest.moc"
