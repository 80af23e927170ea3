// The password entry, new password and security options dialogs, driven as a user would.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/PasswordCheck.h"
#include "storage/CreateWallet.h"
#include "support/TestEnv.h"
#include "support_qt/UiFixture.h"
#include "views/DlgBar.h"
#include "views/EnterPasswordDialog.h"
#include "views/NewPasswordDialog.h"
#include "views/ObjectNames.h"
#include "views/SecurityOptionsDialog.h"

namespace tw::ui {

namespace names = ui::names;
using test::UiFixture;

namespace {

// A wallet in memory whose key block the dialog checks against.
struct CheckedWallet {
    explicit CheckedWallet(const std::u16string& password, const std::u16string& hint = u"the usual") {
        if (createWallet(t.env, test::kWalletPath, password, hint, false) != CreateResult::Ok) qFatal("no wallet");
        if (app::PasswordCheck::read(t.files, test::kWalletPath, check) != OpenResult::Ok) qFatal("no key block");
    }
    test::TestEnv t;
    app::PasswordCheck check;
};

QPushButton* button(QWidget* dialog, const QString& name) {
    auto* b = dialog->findChild<QPushButton*>(name);
    if (!b) qFatal("no button %s", qPrintable(name));
    return b;
}

void tapDigits(QWidget* dialog, const QString& digits) {
    for (QChar d : digits) QTest::mouseClick(button(dialog, QString(names::kKeypadDigit) + d), Qt::LeftButton);
}

}  // namespace

class PasswordDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void keypadTapsEditTheBox() {
        UiFixture f;
        EnterPasswordDialog dialog(f.ui, u"Home", nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* edit = dialog.findChild<QLineEdit*>(names::kPasswordEdit);
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("#26003 (Home)"));
        tapDigits(&dialog, QStringLiteral("2468"));
        QCOMPARE(edit->text(), QStringLiteral("2468"));
        QVERIFY(edit->hasFocus());
        edit->setSelection(1, 2);  // a digit replaces the selection
        tapDigits(&dialog, QStringLiteral("0"));
        QCOMPARE(edit->text(), QStringLiteral("208"));
        QTest::mouseClick(button(&dialog, names::kKeypadBack), Qt::LeftButton);  // the digit before the caret
        QCOMPARE(edit->text(), QStringLiteral("28"));
        edit->setCursorPosition(0);  // Back at the start does nothing
        QTest::mouseClick(button(&dialog, names::kKeypadBack), Qt::LeftButton);
        QCOMPARE(edit->text(), QStringLiteral("28"));
        QTest::mouseClick(button(&dialog, names::kKeypadClear), Qt::LeftButton);
        QCOMPARE(edit->text(), QString());
        // Clear then OK: an empty entry cancels, without a message.
        QTest::mouseClick(button(&dialog, names::kKeypadOk), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(f.prompt.shown.empty());
        QVERIFY(dialog.takePassword().empty());
    }

    void wrongPasswordsThenTheHintOnceThenTheRightOne() {
        UiFixture f;
        CheckedWallet w(u"2468");
        EnterPasswordDialog dialog(f.ui, u"Home", &w.check);
        dialog.setTickInterval(20);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(names::kPasswordEdit);
        for (int attempt = 1; attempt <= 6; ++attempt) {
            QTest::qWait(30);  // the countdown runs...
            tapDigits(&dialog, QStringLiteral("1111"));
            QTest::mouseClick(button(&dialog, names::kKeypadOk), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QCOMPARE(edit->text(), QString());
            QCOMPARE(dialog.secondsLeft(), 120);  // ...and starts again after each failure
        }
        const QStringList wrong = {QStringLiteral("#27006")};
        const QStringList expected =
            wrong + wrong + wrong + wrong + wrong + QStringList{QStringLiteral("#26009\n\nthe usual")} + wrong;
        QCOMPARE(test::shownTexts(f.prompt), expected);
        QCOMPARE(f.prompt.shown[0].icon, Icon::Warning);
        QCOMPARE(f.prompt.shown[5].icon, Icon::Information);

        tapDigits(&dialog, QStringLiteral("2468"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(edit->text(), QString());  // wiped on close
        QCOMPARE(dialog.takePassword(), std::u16string(u"2468"));
        QVERIFY(dialog.takePassword().empty());
    }

    void aTwentyFourCharacterEntryIsItsFirstTwentyThree() {
        UiFixture f;
        CheckedWallet w(u"abcdefghijklmnopqrstuvw");  // 23
        EnterPasswordDialog dialog(f.ui, {}, &w.check);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(names::kPasswordEdit);
        QTest::keyClicks(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        QCOMPARE(edit->text().size(), 24);
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.takePassword(), std::u16string(u"abcdefghijklmnopqrstuvw"));
    }

    void twoMinutesWithoutSuccessCancel() {
        UiFixture f;
        EnterPasswordDialog enter(f.ui, u"Home", nullptr);
        NewPasswordDialog fresh(f.ui, NewPasswordDialog::Purpose::NewWallet);
        for (QDialog* dialog : {static_cast<QDialog*>(&enter), static_cast<QDialog*>(&fresh)}) {
            dialog->show();
            QTest::keyClicks(dialog->findChild<QLineEdit*>(names::kPasswordEdit), QStringLiteral("123"));
        }
        enter.setTickInterval(1);
        fresh.setTickInterval(1);
        QTRY_VERIFY_WITH_TIMEOUT(!enter.isVisible() && !fresh.isVisible(), 10000);
        QCOMPARE(enter.result(), int(QDialog::Rejected));
        QCOMPARE(fresh.result(), int(QDialog::Rejected));
        QVERIFY(enter.takePassword().empty());
        QVERIFY(fresh.takePassword().empty());
        QCOMPARE(enter.findChild<QLineEdit*>(names::kPasswordEdit)->text(), QString());
    }

    void passwordsNeverReachTheClipboard() {
        UiFixture f;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        EnterPasswordDialog dialog(f.ui, u"Home", nullptr);
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(names::kPasswordEdit);
        QVERIFY(edit->inputMethodHints().testFlags(Qt::ImhSensitiveData | Qt::ImhNoPredictiveText));
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QTest::keyClicks(edit, QStringLiteral("secret"));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
    }

    void smartphoneNumericEntryIsASettingAndTakesDigitsOnly() {
        UiFixture f(app::DeviceKind::Smartphone);
        QCOMPARE(f.settings.passNumeric, 1u);
        EnterPasswordDialog dialog(f.ui, u"Home", nullptr);
        dialog.show();
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("Home"));
        QVERIFY(!dialog.findChild<QPushButton*>(QString(names::kKeypadDigit) + QLatin1Char('1')));
        auto* edit = dialog.findChild<QLineEdit*>(names::kPasswordEdit);
        auto* numeric = dialog.findChild<QCheckBox*>(names::kNumericCheck);
        QVERIFY(numeric->isChecked());
        QTest::keyClicks(edit, QStringLiteral("a1b2"));
        QCOMPARE(edit->text(), QStringLiteral("12"));
        numeric->setChecked(false);
        QCOMPARE(f.settings.passNumeric, 0u);
        QTest::keyClicks(edit, QStringLiteral("c3"));
        QCOMPARE(edit->text(), QStringLiteral("12c3"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(names::kDoneButton), Qt::LeftButton);
        QCOMPARE(dialog.takePassword(), std::u16string(u"12c3"));
    }

    void newPasswordIsCheckedAgainstItsConfirmation_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::addColumn<QString>("taken");
        QTest::newRow("empty") << QString() << QString() << QStringLiteral("#27003") << QString();
        QTest::newRow("two characters") << QStringLiteral("ab") << QStringLiteral("ab") << QStringLiteral("#27007")
                                        << QString();
        QTest::newRow("length differs first")
            << QStringLiteral("ab") << QStringLiteral("abc") << QStringLiteral("#27004") << QString();
        QTest::newRow("one differs") << QStringLiteral("abc") << QStringLiteral("abd") << QStringLiteral("#27004")
                                     << QString();
        QTest::newRow("three") << QStringLiteral("abc") << QStringLiteral("abc") << QString() << QStringLiteral("abc");
        const QString long24 = QStringLiteral("abcdefghijklmnopqrstuvwx");
        QTest::newRow("twenty-four") << long24 << long24 << QString() << long24.left(23);
        QTest::newRow("24 against its 23") << long24 << long24.left(23) << QString() << long24.left(23);
    }
    void newPasswordIsCheckedAgainstItsConfirmation() {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(QString, message);
        QFETCH(QString, taken);
        UiFixture f;
        NewPasswordDialog dialog(f.ui, NewPasswordDialog::Purpose::ChangePassword);
        dialog.show();
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("#26000"));
        QTest::keyClicks(dialog.findChild<QLineEdit*>(names::kPasswordEdit), password);
        QTest::keyClicks(dialog.findChild<QLineEdit*>(names::kConfirmEdit), confirmation);
        QTest::keyClicks(dialog.findChild<QLineEdit*>(names::kHintEdit), QStringLiteral("my hint"));
        QTest::mouseClick(dialog.findChild<QPushButton*>(names::kDoneButton), Qt::LeftButton);
        if (message.isEmpty()) {
            QVERIFY(f.prompt.shown.empty());
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QCOMPARE(toQString(dialog.takePassword()), taken);
            QCOMPARE(toQString(dialog.hint()), QStringLiteral("my hint"));
        } else {
            QCOMPARE(test::shownTexts(f.prompt), QStringList{message});
            QCOMPARE(f.prompt.shown[0].caption, std::u16string(u"#20500"));
            QVERIFY(dialog.isVisible());
        }
    }

    void securityOptionsKeepAnIntervalTheyDoNotOffer_data() {
        QTest::addColumn<bool>("smartphone");
        QTest::addColumn<uint>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("choices");
        QTest::newRow("five") << false << 5u << QStringLiteral("#28505") << 6;
        QTest::newRow("never") << false << 0u << QStringLiteral("#28504") << 6;
        QTest::newRow("fifteen") << false << 15u << QStringLiteral("15 min") << 7;
        QTest::newRow("smartphone sixty") << true << 60u << QStringLiteral("#28508") << 6;
        QTest::newRow("smartphone fifteen") << true << 15u << QStringLiteral("15 min") << 7;
    }
    void securityOptionsKeepAnIntervalTheyDoNotOffer() {
        QFETCH(bool, smartphone);
        QFETCH(uint, stored);
        QFETCH(QString, shown);
        QFETCH(int, choices);
        UiFixture f(smartphone ? app::DeviceKind::Smartphone : app::DeviceKind::PocketPC);
        SecurityOptionsDialog dialog(f.ui, stored, true);
        dialog.show();
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("#28500"));
        if (auto* list = dialog.findChild<QComboBox*>(names::kIntervalChooser)) {
            QVERIFY(!smartphone);
            QCOMPARE(list->currentText(), shown);
            QCOMPARE(list->count(), choices);
        } else {
            auto* spinner = dialog.findChild<QSpinBox*>(names::kIntervalChooser);
            QVERIFY(spinner && smartphone);
            QCOMPARE(spinner->text(), shown);
            QCOMPARE(spinner->maximum() + 1, choices);
        }
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.intervalMinutes(), stored);
        QVERIFY(dialog.closeOnSwitch());
    }

    void securityOptionsReturnTheChoice() {
        UiFixture f;
        SecurityOptionsDialog dialog(f.ui, 5, false);
        dialog.show();
        auto* list = dialog.findChild<QComboBox*>(names::kIntervalChooser);
        list->setCurrentIndex(4);
        dialog.findChild<QCheckBox*>(names::kCloseOnSwitchCheck)->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>(names::kDoneButton), Qt::LeftButton);
        QCOMPARE(dialog.intervalMinutes(), 30u);
        QVERIFY(dialog.closeOnSwitch());
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::PasswordDialogsTest)
#include "PasswordDialogsTest.moc"
