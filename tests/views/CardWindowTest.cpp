// The card window driven as a user would, over a wallet in memory with a card holding a field of
// every kind: what the view shows and masks, what each action hands to the desktop, editing and
// saving every kind, Cancel leaving the file as it was, form design, and attachments.
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <fstream>

#include "app/CardEdit.h"
#include "model/FieldKind.h"
#include "platform/MemoryRegistry.h"
#include "platform/SecretClipboard.h"
#include "support/CardFixtures.h"
#include "support/TreeFixtures.h"
#include "support_qt/UiFixture.h"
#include "views/AttachmentsDialog.h"
#include "views/BackgroundDialog.h"
#include "views/CardEditor.h"
#include "views/CardView.h"
#include "views/CardWindow.h"
#include "views/DisplayOptionsDialog.h"
#include "views/DlgBar.h"
#include "views/FormDesigner.h"
#include "views/ObjectNames.h"
#include "views/SecretEdit.h"
#include "views/SoundDialog.h"
#include "views/SoundPlayer.h"

namespace tw::ui {

using test::UiFixture;

namespace {

// Remembers what it was asked to play.
class RecordingPlayer final : public SoundPlayer {
public:
    bool play(std::span<const std::uint8_t> wave) override {
        played.emplace_back(wave.begin(), wave.end());
        return true;
    }
    void stop() override { ++stops; }
    std::vector<std::vector<std::uint8_t>> played;
    int stops = 0;
};

// A wallet in memory with one card ("Every Kind") whose fields are, in order: a password, then one
// field of every other kind, and a file attachment; plus everything a card window is built with.
struct CardFixture {
    CardFixture() {
        folder = w.addFolder(u"Personal");
        position = w.addCard(u"Every Kind", w.id(folder), [](Card& card) {
            test::addField(card, field_kind::kPassword, u"PIN", u"1234");
            test::addField(card, field_kind::kText, u"Text", u"plain");
            test::addField(card, field_kind::kWebAddress, u"Web", u"www.example.com");
            test::addField(card, field_kind::kEmail, u"Mail", u"ann@example.com");
            test::addField(card, field_kind::kTelephone, u"Phone", u"+49 30 1234");
            test::addField(card, field_kind::kLink, u"Link", u"bob@example.org");
            test::addField(card, field_kind::kDate, u"Date", u"");
            test::addField(card, field_kind::kTime, u"Time", u"");
            test::addField(card, field_kind::kDateTime, u"When", u"");
            Field& yesNo = test::addField(card, field_kind::kYesNoList, u"YesNo", u"");
            yesNo.setListFromJoined(u"Yes^No");
            Field& list = test::addField(card, field_kind::kSelectionList, u"Colour", u"green");
            list.setListFromJoined(u"red^green^blue");
            test::addField(card, field_kind::kCheckBox, u"Check", u"1");
            test::addField(card, field_kind::kNumber, u"Number", u"42");
            test::addField(card, field_kind::kFirstCapital, u"First", u"Ann");
            test::addField(card, field_kind::kWordCapitals, u"Words", u"New York");
            Field& note = test::addField(card, field_kind::kText, u"Note", u"line one\nline two");
            note.setStyle(Field::kNoteStyle);
            card.file(0).set(test::testBytes(300, 7), u"../notes.txt");
            card.file(0).setTimes(SystemTime{2026, 1, 2, 3, 0, 0, 0, 0}, SystemTime{2026, 1, 2, 3, 0, 0, 0, 0});
        });
        services.openedFolder = (opened.path() + QStringLiteral("/opened")).toStdString();
        makePrivateFolder(services.openedFolder);
        services.documentsFolder = (documents.path() + QStringLiteral("/Documents")).toStdString();
        services.sound = &player;
    }
    std::vector<std::uint8_t> fileBytes() { return w.t.files.bytes(test::kWalletPath); }
    std::unique_ptr<Card> stored(std::size_t at) { return w.wallet.loadCard(w.id(at)); }

    UiFixture f;
    test::FixtureWallet w;
    std::size_t folder = 0;
    std::size_t position = 0;
    MemoryRegistry registry;
    RecordingLauncher launcher;
    WebBrowser browser{registry, launcher};
    SecretClipboard clipboard{QGuiApplication::clipboard()};
    app::TempFiles temp;
    RecordingPlayer player;
    QTemporaryDir opened;
    QTemporaryDir documents;
    QString chosenFile;
    CardServices services{launcher,
                          browser,
                          &clipboard,
                          0,
                          LocalePatterns{u"M/d/yy", u"h:mm:ss tt", u":"},
                          "",
                          "",
                          temp,
                          nullptr,
                          [this](QWidget*, const QString&, const QString&) { return chosenFile; }};
};

int valueRowOf(const CardView* view, int field) {
    const auto& rows = view->rows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].isName() && rows[i].field == field) return static_cast<int>(i);
    return -1;
}

// Taps the middle of a value row as a pen would.
void tapRow(CardView* view, int row) {
    int top = -view->verticalScrollBar()->value();
    for (int i = 0; i < row; ++i) top += view->rowHeights()[static_cast<std::size_t>(i)];
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(20, top + view->rowHeights()[row] / 2));
}

}  // namespace

class CardWindowTest : public QObject {
    Q_OBJECT

private slots:
    void viewShowsEveryFieldAndNeverRevealsAPasswordUnasked() {
        CardFixture c;
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.findChild<DlgBar*>(QString(names::kTitleStrip))->title(), QStringLiteral("Every Kind"));
        CardView* view = window.view();
        QCOMPARE(view->rows().size(), std::size_t{2 * 16 + 2});
        // The first row is the password: selected, but drawn masked until the user picks it.
        QCOMPARE(view->selected(), 1);
        QVERIFY(view->selectedDrawnMasked());
        QVERIFY(c.launcher.opened.empty());
        tapRow(view, valueRowOf(view, 1));
        tapRow(view, 1);
        QVERIFY(!view->selectedDrawnMasked());
        // Copying takes the real value, through the clipboard for secrets.
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1234"));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat(QLatin1String(SecretClipboard::kHintFormat)));
        QVERIFY(c.player.played.empty());  // the card has no sound
    }

    void eachActionReachesTheDesktopWithASafeAddress() {
        CardFixture c;
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CardView* view = window.view();
        for (int field : {2, 3, 4, 5}) {
            tapRow(view, valueRowOf(view, field));  // the first tap selects
            tapRow(view, valueRowOf(view, field));  // the second runs the action
        }
        view->select(valueRowOf(view, 1));
        QTest::keyClick(view, Qt::Key_Return);  // a plain text row copies
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("plain"));
        QCOMPARE(c.launcher.opened, (std::vector<std::string>{"http://www.example.com", "mailto:ann@example.com",
                                                              "tel:+49301234", "mailto:bob@example.org"}));
        QVERIFY(c.launcher.started.empty());

        // The attachment row writes a private copy and opens it; Done offers to delete it.
        view->select(static_cast<int>(view->rows().size()) - 1);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(c.launcher.opened.size(), std::size_t{5});
        const std::string path = c.launcher.opened.back();
        QCOMPARE(QString::fromStdString(path), QString::fromStdString(c.services.openedFolder + "/20261210_notes.txt"));
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        QVERIFY(bytes == test::testBytes(300, 7));
        c.f.prompt.answers = {Answer::Yes};
        window.done();
        QCOMPARE(window.outcome(), CardWindow::Outcome::Unchanged);
        QCOMPARE(test::shownTexts(c.f.prompt), QStringList{QStringLiteral("#28206")});
        QVERIFY(!QFile::exists(QString::fromStdString(path)));
        QVERIFY(c.temp.empty());
    }

    void everyKindIsEditedAndSavedAndReadsBack() {
        CardFixture c;
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position, CardWindow::Mode::Edit);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CardEditor* editor = window.editor();
        QVERIFY(editor);
        auto line = [&](int field) { return qobject_cast<QLineEdit*>(editor->editorOf(field)); };
        auto* name = editor->findChild<QLineEdit*>(QStringLiteral("cardNameEdit"));
        name->setText(QStringLiteral("Renamed"));
        auto* pin = qobject_cast<SecretEdit*>(editor->editorOf(0));
        QVERIFY(pin);
        QCOMPARE(pin->text(), QStringLiteral("1234"));  // in clear while editing
        QVERIFY(pin->inputMethodHints() & Qt::ImhSensitiveData);
        pin->setText(QStringLiteral("9999"));
        line(1)->setText(QStringLiteral("changed"));
        line(2)->setText(QStringLiteral("https://example.org"));
        auto* date = qobject_cast<QDateTimeEdit*>(editor->editorOf(6));
        QVERIFY(date && !date->isEnabled());  // a date field without a value opens without one
        date->parentWidget()->findChild<QCheckBox*>(QStringLiteral("hasValueCheck"))->setChecked(true);
        date->setDate(QDate(2027, 2, 14));
        auto* yesNo = qobject_cast<QComboBox*>(editor->editorOf(9));
        QCOMPARE(yesNo->currentIndex(), 0);  // the no-choice item
        yesNo->setCurrentIndex(2);
        auto* list = qobject_cast<QComboBox*>(editor->editorOf(10));
        QCOMPARE(list->currentText(), QStringLiteral("green"));
        list->setCurrentIndex(0);  // no choice: cleared
        auto* check = qobject_cast<QCheckBox*>(editor->editorOf(11));
        QCOMPARE(check->checkState(), Qt::Checked);
        check->setCheckState(Qt::PartiallyChecked);
        line(12)->setText(QStringLiteral("43"));
        line(14)->setFocus();
        line(14)->selectAll();
        QTest::keyClicks(line(14), QStringLiteral("san jose"));
        QCOMPARE(line(14)->text(), QStringLiteral("San Jose"));
        auto* note = qobject_cast<QPlainTextEdit*>(editor->editorOf(15));
        QVERIFY(note);
        note->setPlainText(QStringLiteral("one\ntwo\nthree"));
        window.done();  // back to viewing
        QCOMPARE(window.mode(), CardWindow::Mode::View);
        QVERIFY(window.view()->rows()[1].flags & app::row_flag::kMasked);  // masked again
        window.done();                                                     // written
        QCOMPARE(window.outcome(), CardWindow::Outcome::Saved);

        std::unique_ptr<Card> card = c.stored(static_cast<std::size_t>(window.position()));
        QVERIFY(card);
        QCOMPARE(app::cardName(*card, c.w.wallet.recordKey()), std::u16string(u"Renamed"));
        const std::pair<int, std::u16string> values[] = {
            {0, u"9999"}, {1, u"changed"}, {2, u"https://example.org"}, {3, u"ann@example.com"}, {9, u"No"}, {10, u""},
            {11, u"2"},   {12, u"43"},     {14, u"San Jose"},           {15, u"one\ntwo\nthree"}};
        for (const auto& [field, value] : values) QCOMPARE(card->field(static_cast<std::size_t>(field)).value(), value);
        QCOMPARE(card->field(6).date().year, std::uint16_t{2027});
        QCOMPARE(card->field(6).date().day, std::uint16_t{14});
        QVERIFY(card->field(7).date().isZero());  // untouched pickers stay empty
    }

    void cancelLeavesTheFileByteForByte() {
        CardFixture c;
        const std::vector<std::uint8_t> before = c.fileBytes();
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position, CardWindow::Mode::Edit);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        qobject_cast<QLineEdit*>(window.editor()->editorOf(1))->setText(QStringLiteral("edited"));
        c.f.prompt.answers = {Answer::No};
        QTest::keyClick(&window, Qt::Key_Escape);  // asks; No keeps the window open
        QVERIFY(window.isVisible());
        c.f.prompt.answers = {Answer::Yes};
        window.cancel();
        QVERIFY(!window.isVisible());
        QCOMPARE(test::shownTexts(c.f.prompt), (QStringList{QStringLiteral("#25900"), QStringLiteral("#25900")}));
        QCOMPARE(window.outcome(), CardWindow::Outcome::Unchanged);
        QVERIFY(c.fileBytes() == before);

        // Opened and left without a change: no question, nothing written.
        CardWindow untouched(c.f.ui, c.services, c.w.wallet, c.position, CardWindow::Mode::Edit);
        untouched.setMode(CardWindow::Mode::Design);
        untouched.done();
        untouched.done();
        untouched.done();
        QCOMPARE(untouched.outcome(), CardWindow::Outcome::Unchanged);
        QCOMPARE(c.f.prompt.shown.size(), std::size_t{2});
        QVERIFY(c.fileBytes() == before);
    }

    void deleteAsksAndReportsTheRequest() {
        CardFixture c;
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position);
        c.f.prompt.answers = {Answer::No, Answer::Yes};
        window.deleteCard();
        QCOMPARE(window.outcome(), CardWindow::Outcome::Unchanged);
        window.deleteCard();
        QCOMPARE(window.outcome(), CardWindow::Outcome::DeleteRequested);
        QCOMPARE(test::shownTexts(c.f.prompt), (QStringList{QStringLiteral("#22003"), QStringLiteral("#22003")}));
    }

    void formDesignChangesTheStructureAndSaves() {
        CardFixture c;
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position, CardWindow::Mode::Design);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        FormDesigner* designer = window.designer();
        QVERIFY(window.findChild<DlgBar*>(QString(names::kTitleStrip))->title().startsWith(QStringLiteral("#24006")));
        designer->focusField(0);
        designer->moveUp();  // the first field cannot go up
        QCOMPARE(window.card().field(0).name(), std::u16string(u"PIN"));
        designer->moveBottom();
        QCOMPARE(window.card().field(15).name(), std::u16string(u"PIN"));
        designer->addField();
        QCOMPARE(window.card().fieldCount(), std::size_t{17});
        QCOMPARE(designer->currentField(), 16);
        QCOMPARE(window.card().field(16).kind(), app::kNewFieldKind);
        designer->nameEdit(16)->setText(QStringLiteral("Locker"));
        designer->kindChooser(16)->setCurrentIndex(designer->kindChooser(16)->findData(int{field_kind::kTelephone}));
        designer->focusField(0);  // "Text"
        designer->deleteField();
        QCOMPARE(window.card().fieldCount(), std::size_t{16});
        // The note offers the text kinds only.
        QCOMPARE(designer->kindChooser(13)->count(), 8);
        window.done();
        window.done();
        window.done();
        QCOMPARE(window.outcome(), CardWindow::Outcome::Saved);
        std::unique_ptr<Card> card = c.stored(static_cast<std::size_t>(window.position()));
        QCOMPARE(card->fieldCount(), std::size_t{16});
        QCOMPARE(card->field(0).name(), std::u16string(u"Web"));
        QCOMPARE(card->field(14).name(), std::u16string(u"PIN"));
        QCOMPARE(card->field(15).name(), std::u16string(u"Locker"));
        QCOMPARE(card->field(15).kind(), field_kind::kTelephone);
    }

    void attachmentsAreAddedExportedAndRemoved() {
        CardFixture c;
        std::unique_ptr<Card> card = c.stored(c.position);
        c.w.t.files.setBytes("/home/ann/photo.jpg", test::testBytes(5000, 3));
        AttachmentsDialog dialog(c.f.ui, c.services, c.w.t.env, *card);
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("attachmentList"));
        QCOMPARE(list->count(), 1);
        QVERIFY(
            dialog.findChild<QLabel*>(QStringLiteral("attachmentInfo"))->text().startsWith(QStringLiteral("#28205")));
        c.chosenFile = QStringLiteral("/home/ann/photo.jpg");
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("addFileButton")), Qt::LeftButton);
        QCOMPARE(list->count(), 2);
        QCOMPARE(dialog.selectedSlot(), 1);
        QVERIFY(card->file(1).data() == test::testBytes(5000, 3));

        const QString written = dialog.exportFile();
        QCOMPARE(written, QString::fromStdString(c.services.documentsFolder) + QStringLiteral("/20261210_photo.jpg"));
        QFile out(written);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray bytes = out.readAll();
        QVERIFY(std::vector<std::uint8_t>(bytes.begin(), bytes.end()) == test::testBytes(5000, 3));
        QCOMPARE(int(out.permissions() & (QFile::ExeOwner | QFile::ReadGroup | QFile::ReadOther)), 0);

        for (int i = 2; i < 10; ++i) card->file(static_cast<std::size_t>(i)).set(test::testBytes(2), u"x.bin");
        dialog.addFile(QStringLiteral("/home/ann/photo.jpg"));  // ten in use: nothing added
        QVERIFY(card->file(1).data() == test::testBytes(5000, 3));
        list->setCurrentRow(0);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("removeFileButton")), Qt::LeftButton);
        QVERIFY(!card->file(0).hasData());
        QCOMPARE(list->count(), 9);
    }

    void backgroundAndSoundDialogsWorkOnACopy() {
        CardFixture c;
        std::unique_ptr<Card> card = c.stored(c.position);
        QImage red(4, 4, QImage::Format_RGB32);
        red.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
        c.w.t.files.setBytes("/pics/red.png", std::vector<std::uint8_t>(png.begin(), png.end()));
        {
            BackgroundDialog dialog(c.f.ui, c.services, c.w.t.env, *card);
            QVERIFY(dialog.selectImage(QStringLiteral("/pics/red.png")));
            c.chosenFile.clear();  // the chooser cancelled keeps the picture
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("selectImageButton")), Qt::LeftButton);
            dialog.matchBackground();
            dialog.setPosition(10);
            dialog.reject();
        }
        QVERIFY(!card->picture().hasData());
        {
            BackgroundDialog dialog(c.f.ui, c.services, c.w.t.env, *card);
            dialog.selectImage(QStringLiteral("/pics/red.png"));
            dialog.matchBackground();
            dialog.setPosition(10);
            dialog.accept();
        }
        QVERIFY(card->picture().hasData());
        QCOMPARE(card->picture().placement(), 10u);
        QCOMPARE(card->display().background(), 0x0000FFu);  // red as a COLORREF

        c.w.t.files.setBytes("/snd/ding.wav", test::testBytes(64));
        {
            SoundDialog dialog(c.f.ui, c.services, c.w.t.env, *card);
            QVERIFY(dialog.selectSound(QStringLiteral("/snd/ding.wav")));
            QVERIFY(dialog.findChild<QCheckBox*>(QStringLiteral("playWhenViewedCheck"))->isChecked());
            dialog.playSound();
            // Exported once into the documents folder; a second export never replaces that file.
            QVERIFY(dialog.exportSound().endsWith(QStringLiteral("_ding.wav")));
            QVERIFY(dialog.exportSound().isEmpty());
            const QStringList shown = test::shownTexts(c.f.prompt);
            QCOMPARE(shown.size(), 2);  // where the first went, then why the second was refused
            QVERIFY(!shown.last().startsWith(QStringLiteral("#22010")));
            dialog.accept();
        }
        QCOMPARE(c.player.played.size(), std::size_t{1});
        QCOMPARE(card->sound().name(), std::u16string(u"ding.wav"));
        QVERIFY(card->sound().type() != 0);
        QVERIFY(c.w.wallet.saveCard(*card) >= 0);
        // Opened for viewing, the card plays its sound.
        CardWindow window(c.f.ui, c.services, c.w.wallet, c.position);
        QCOMPARE(c.player.played.size(), std::size_t{2});
    }

    void theOwnersCardIsEditedInPlaceAndAnOutsideCloseAsksNothing() {
        CardFixture c;
        const std::vector<std::uint8_t> before = c.fileBytes();
        std::unique_ptr<Card> card = c.stored(c.position);
        {
            CardWindow window(c.f.ui, c.services, c.w.wallet, *card, false, false, CardWindow::Mode::Edit);
            qobject_cast<QLineEdit*>(window.editor()->editorOf(1))->setText(QStringLiteral("by the owner"));
            window.done();
            window.done();
            QCOMPARE(window.outcome(), CardWindow::Outcome::Saved);
        }
        QCOMPARE(card->field(1).value(), std::u16string(u"by the owner"));
        QVERIFY(c.fileBytes() == before);  // the owner writes it

        // The automatic closing cancels the window: no question, the opened copy is gone.
        CardWindow window(c.f.ui, c.services, c.w.wallet, *card, false, false, CardWindow::Mode::View);
        window.show();
        window.openAttachment(0, false);
        QCOMPARE(c.temp.paths().size(), std::size_t{1});
        const QString opened = QString::fromStdString(c.temp.paths().front());
        window.setMode(CardWindow::Mode::Edit);
        qobject_cast<QLineEdit*>(window.editor()->editorOf(1))->setText(QStringLiteral("lost"));
        window.reject();
        QVERIFY(!window.isVisible());
        QVERIFY(c.f.prompt.shown.empty());
        QVERIFY(!QFile::exists(opened));
        QCOMPARE(window.outcome(), CardWindow::Outcome::Unchanged);
        QCOMPARE(card->field(1).value(), std::u16string(u"by the owner"));

        // Read-only: viewing only.
        CardWindow readOnly(c.f.ui, c.services, c.w.wallet, *card, false, true, CardWindow::Mode::Edit);
        QCOMPARE(readOnly.mode(), CardWindow::Mode::View);
        readOnly.setMode(CardWindow::Mode::Edit);
        QCOMPARE(readOnly.mode(), CardWindow::Mode::View);
    }

    void displayOptionsWriteOnOkOnly() {
        CardFixture c;
        const std::vector<std::uint8_t> before(c.w.wallet.settings().raw.begin(), c.w.wallet.settings().raw.end());
        auto red = [](QWidget*, QColor) { return QColor(Qt::red); };
        {
            DisplayOptionsDialog dialog(c.f.ui, c.w.wallet, red);
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("backgroundColourButton")), Qt::LeftButton);
            dialog.reject();
        }
        QVERIFY(std::equal(before.begin(), before.end(), c.w.wallet.settings().raw.begin()));
        DisplayOptionsDialog dialog(c.f.ui, c.w.wallet, red);
        dialog.findChild<QComboBox*>(QStringLiteral("treeSizeChooser"))->setCurrentIndex(4);
        dialog.findChild<QCheckBox*>(QStringLiteral("namesBoldCheck"))->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("nameColourButton")), Qt::LeftButton);
        dialog.accept();
        QCOMPARE(c.f.settings.fontMain, 9u);
        QCOMPARE(c.f.settings.fontMainStyle & 1u, 1u);
        std::unique_ptr<Card> fresh = c.w.wallet.newCard(RecordId{});
        QVERIFY(fresh->display().namesBold());
        QCOMPARE(fresh->display().nameColour(), 0x0000FFu);
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::CardWindowTest)
#include "CardWindowTest.moc"
