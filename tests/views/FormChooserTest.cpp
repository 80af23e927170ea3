// The form chooser on a wallet with a custom form, in both device kinds.
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "model/BuiltinForms.h"
#include "support/TreeFixtures.h"
#include "support_qt/UiFixture.h"
#include "views/DlgBar.h"
#include "views/FormChooser.h"
#include "views/ObjectNames.h"

namespace tw::ui {

namespace {

// Built-in forms named "Form 00" to "Form 42".
void nameForms(StringTable& strings) {
    for (std::size_t i = 0; i < kBuiltinFormCount; ++i) {
        const std::string name = "Form " + std::string(i < 10 ? "0" : "") + std::to_string(i);
        strings.set(builtinForms()[i].nameId, std::u16string(name.begin(), name.end()));
    }
}

// Clicks a button of the modal dialog that is about to run.
void clickWhenShown(QLatin1StringView button) {
    QTimer::singleShot(0, [button] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) qFatal("no dialog");
        QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    });
}

}  // namespace

class FormChooserTest : public QObject {
    Q_OBJECT

private slots:
    void currentFormSelectedAndTheChosenOneHandedBack_data() {
        QTest::addColumn<bool>("phone");
        QTest::newRow("Pocket PC") << false;
        QTest::newRow("Smartphone") << true;
    }
    void currentFormSelectedAndTheChosenOneHandedBack() {
        QFETCH(bool, phone);
        test::UiFixture f(phone ? app::DeviceKind::Smartphone : app::DeviceKind::PocketPC);
        nameForms(f.strings);
        test::FixtureWallet w;
        const std::size_t custom = w.addCard(u"Form 07b", w.id(w.formsFolder()));

        FormChooser dialog(f.ui, w.wallet, nullptr, app::builtinFormRef(7), FormChooser::Purpose::DefaultForm);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("#28900"));
        auto* list = dialog.findChild<QListWidget*>(names::kFormList);
        QCOMPARE(list->count(), 44);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Form 07"));
        QVERIFY(list->hasFocus());
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentItem()->text(), QStringLiteral("Form 07b"));
        QTest::keyClick(&dialog, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const app::FormChoice chosen = dialog.chosen();
        QVERIFY(!chosen.builtin);
        QCOMPARE(chosen.ref.bytes, w.id(custom).bytes);
    }

    void cancelHandsBackNothingAndAnUnknownFormSelectsTheFirst() {
        test::UiFixture f;
        nameForms(f.strings);
        test::FixtureWallet w;
        FormRef unknown;
        unknown.bytes.fill(7);
        clickWhenShown(names::kCancelButton);
        QVERIFY(!FormChooser::choose(f.ui, w.wallet, nullptr, unknown, FormChooser::Purpose::NewCard, nullptr));
        clickWhenShown(names::kDoneButton);
        const std::optional<app::FormChoice> first =
            FormChooser::choose(f.ui, w.wallet, nullptr, unknown, FormChooser::Purpose::NewCard, nullptr);
        QVERIFY(first);
        QVERIFY(first->builtin);
        QCOMPARE(first->ref, app::builtinFormRef(0));
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::FormChooserTest)
#include "FormChooserTest.moc"
