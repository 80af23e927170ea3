// The colour chooser and the card's Text/Colors dialog, in both device kinds.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "app/Colours.h"
#include "support_qt/UiFixture.h"
#include "views/CardColorsDialog.h"
#include "views/ColorChooser.h"
#include "views/ObjectNames.h"

namespace tw::ui {

namespace {

// Runs `act` on the modal dialog that is about to run.
void whenShown(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) qFatal("no dialog");
        act(dialog);
    });
}

void click(QWidget* dialog, QLatin1StringView name) {
    auto* b = dialog->findChild<QAbstractButton*>(name);
    if (!b) qFatal("no button %s", name.data());
    // A check box takes the click on its box, at the left.
    const QPoint at = qobject_cast<QCheckBox*>(b) ? QPoint(6, b->height() / 2) : b->rect().center();
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
}

// A display block with every word set apart, so that a dialog that touches a word it should
// keep is caught.
CardDisplay fixtureDisplay() {
    CardDisplay d;
    for (std::size_t i = 0; i < CardDisplay::kWords; ++i) d.words[i] = 0x1000 + static_cast<std::uint32_t>(i);
    d.setBackground(app::colorRefFromRgb(0xFFFFCC));
    d.setNameColour(app::colorRefFromRgb(0x000080));
    d.setValueColour(app::colorRefFromRgb(0x010203));  // in neither the palette nor the named list
    d.setTextSize(10);
    d.setNamesBold(false);
    d.setValuesBold(true);
    d.setShowPasswords(false);
    return d;
}

}  // namespace

class ColourDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void chooserKeysPenAndCancel_data() {
        QTest::addColumn<bool>("phone");
        QTest::newRow("Pocket PC") << false;
        QTest::newRow("Smartphone") << true;
    }
    void chooserKeysPenAndCancel() {
        QFETCH(bool, phone);
        test::UiFixture f(phone ? app::DeviceKind::Smartphone : app::DeviceKind::PocketPC);
        const std::uint32_t orange = app::colorRefFromRgb(0xFF8000);  // position 51

        ColorChooser dialog(f.ui, orange);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.findChild<QPushButton*>(names::kDoneButton)->text(), QStringLiteral("#20717"));
        QWidget* grid = dialog.findChild<QWidget*>(names::kColourGrid);
        QVERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Up);    // 43
        QTest::keyClick(grid, Qt::Key_Left);  // 42
        QCOMPARE(dialog.colour(), app::colorRefFromRgb(app::kPalette[42]));
        QCOMPARE(dialog.findChild<QWidget*>(names::kColourPreview)->palette().color(QPalette::Window),
                 fromColorRef(dialog.colour()));
        // The pen: the swatch in the grid's lower right corner.
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(grid->width() / 2 + 4, grid->height() / 2 + 4));
        QCOMPARE(dialog.colour(), app::colorRefFromRgb(app::kPalette[36]));
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        whenShown([](QWidget* d) { click(d, names::kCancelButton); });
        QCOMPARE(ColorChooser::choose(f.ui, orange, nullptr), std::nullopt);
        // A colour that is not in the palette, confirmed untouched, is kept.
        whenShown([](QWidget* d) { QTest::keyClick(d, Qt::Key_Return); });
        QCOMPARE(ColorChooser::choose(f.ui, 0x030201, nullptr), std::optional<std::uint32_t>(0x030201));
    }

    void pocketPcSwatchesAndBoxesHandBackExactlyTheChanges() {
        test::UiFixture f;
        const CardDisplay before = fixtureDisplay();
        whenShown([](QWidget* dialog) {
            // Background: the colour chooser, one swatch on from FFFFCC, the last, wraps to the
            // first, black.
            whenShown([](QWidget* chooser) {
                QTest::keyClick(chooser->findChild<QWidget*>(names::kColourGrid), Qt::Key_Right);
                QTest::keyClick(chooser, Qt::Key_Return);
            });
            click(dialog, names::kBackgroundColour);
            click(dialog, names::kNamesBoldCheck);
            click(dialog, names::kShowPasswordsCheck);
            dialog->findChild<QComboBox*>(names::kTextSizeChooser)->setCurrentIndex(0);
            click(dialog, names::kDoneButton);
        });
        const std::optional<CardDisplay> after = CardColorsDialog::edit(f.ui, before, nullptr);
        QVERIFY(after);
        CardDisplay expected = before;
        expected.setBackground(0);
        expected.setNamesBold(true);
        expected.setShowPasswords(true);
        expected.setTextSize(8);
        for (std::size_t i = 0; i < CardDisplay::kWords; ++i) QCOMPARE(after->words[i], expected.words[i]);

        whenShown([](QWidget* dialog) {
            click(dialog, names::kValuesBoldCheck);
            click(dialog, names::kCancelButton);
        });
        QCOMPARE(CardColorsDialog::edit(f.ui, before, nullptr), std::nullopt);
    }

    void textSizeTenConfirmedStoresElevenAndAChangeUndoneIsNone() {
        test::UiFixture f;
        const CardDisplay before = fixtureDisplay();
        CardColorsDialog dialog(f.ui, before);
        QCOMPARE(dialog.findChild<QComboBox*>(names::kTextSizeChooser)->currentIndex(), 2);
        QCOMPARE(dialog.display().textSize(), 11u);
        CardDisplay eleven = before;
        eleven.setTextSize(11);
        whenShown([](QWidget* d) {
            click(d, names::kNamesBoldCheck);
            click(d, names::kNamesBoldCheck);
            click(d, names::kDoneButton);
        });
        QCOMPARE(CardColorsDialog::edit(f.ui, eleven, nullptr), std::nullopt);
    }

    void smartphoneListsNamedColoursAndKeepsAnOtherOne() {
        test::UiFixture f(app::DeviceKind::Smartphone);
        for (const app::NamedColour& c : app::kNamedColours)
            f.strings.set(c.textId, u"#" + std::u16string(toU16(QString::number(c.textId))));
        const CardDisplay before = fixtureDisplay();
        CardColorsDialog dialog(f.ui, before);
        auto* values = dialog.findChild<QComboBox*>(names::kValueColour);
        QCOMPARE(values->count(), 17);
        QCOMPARE(values->itemText(0), QStringLiteral("#62700"));
        QCOMPARE(values->currentIndex(), 16);
        QCOMPARE(values->currentText(), QStringLiteral("RGB (1,2,3)"));
        auto* names = dialog.findChild<QComboBox*>(names::kNameColour);
        QCOMPARE(names->count(), 16);
        QCOMPARE(names->currentText(), QStringLiteral("#62704"));  // navy
        QVERIFY(!dialog.findChild<QWidget*>(names::kTipLabel));
        QCOMPARE(dialog.display().words,
                 [&] {
                     CardDisplay d = before;
                     d.setTextSize(11);
                     return d;
                 }()
                     .words);
        names->setCurrentIndex(9);  // red
        QCOMPARE(dialog.display().nameColour(), 0x0000FFu);
        QCOMPARE(dialog.display().valueColour(), before.valueColour());
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::ColourDialogsTest)
#include "ColourDialogsTest.moc"
