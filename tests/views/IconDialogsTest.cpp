// The icon picker, the icon files it makes of pictures, and the folder properties dialog.
#include <QBuffer>
#include <QCheckBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include "app/FormChoices.h"
#include "support/TreeFixtures.h"
#include "support_qt/UiFixture.h"
#include "views/DlgBar.h"
#include "views/FolderPropertiesDialog.h"
#include "views/IconFile.h"
#include "views/IconPicker.h"
#include "views/ObjectNames.h"

namespace tw::ui {

namespace {

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
    const QPoint at = qobject_cast<QCheckBox*>(b) ? QPoint(6, b->height() / 2) : b->rect().center();
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
}

void pickRow(QWidget* dialog, int row) {
    auto* list = dialog->findChild<QListWidget*>(names::kIconList);
    list->setCurrentRow(row);
}

// A picture file in the folder: `width` × `height` in red.
QString redPicture(const QTemporaryDir& dir, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::red);
    const QString path = dir.filePath(QStringLiteral("red.png"));
    if (!image.save(path)) qFatal("cannot write");
    return path;
}

QString textFile(const QTemporaryDir& dir, const QByteArray& content) {
    const QString path = dir.filePath(QStringLiteral("notes.png"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) qFatal("cannot write");
    return path;
}

app::IconChoice builtin(int n) {
    app::IconChoice c;
    c.number = n;
    return c;
}

// Two custom icons in a wallet's list.
struct WalletIcons {
    WalletIcons() {
        for (QColor colour : {QColor(Qt::blue), QColor(Qt::green)}) {
            QImage image(16, 16, QImage::Format_ARGB32);
            image.fill(colour);
            RecordHeader h;
            h.setCustomIcon(iconFileFromImage(image));
            list.add(h);
        }
    }
    app::CustomIcons list;
};

}  // namespace

class IconDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void pictureBecomesAnIconFileOfTwoSizes() {
        QTemporaryDir dir;
        const IconImportResult r = iconFileFromPicture(redPicture(dir, 100, 50));
        QCOMPARE(r.result, IconImport::Ok);
        QByteArray bytes(reinterpret_cast<const char*>(r.iconFile.data()), qsizetype(r.iconFile.size()));
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 2);
        QList<QSize> sizes;
        for (int i = 0; i < 2; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage frame = reader.read();
            sizes.append(frame.size());
            const int side = frame.width();
            QCOMPARE(frame.pixelColor(side / 2, side / 2), QColor(Qt::red));
            QCOMPARE(frame.pixelColor(side / 2, 0).alpha(), 0);  // fitted: the wide picture leaves room above
        }
        QCOMPARE(sizes, (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        QVERIFY(r.iconFile.size() < 8000);
    }

    void refusedFiles() {
        QTemporaryDir dir;
        QCOMPARE(iconFileFromPicture(textFile(dir, "just text, not a picture")).result, IconImport::NotAPicture);
        QCOMPARE(iconFileFromPicture(textFile(dir, QByteArray(kMaxPictureFileBytes + 1, 'x'))).result,
                 IconImport::TooLarge);
        QCOMPARE(iconFileFromPicture(redPicture(dir, kMaxPictureSide + 1, 1)).result, IconImport::TooLarge);
        QCOMPARE(iconFileFromPicture(dir.filePath(QStringLiteral("missing.png"))).result, IconImport::Unreadable);
    }

    void pickerHandsBackTheChosenIcon_data() {
        QTest::addColumn<bool>("phone");
        QTest::newRow("Pocket PC") << false;
        QTest::newRow("Smartphone") << true;
    }
    void pickerHandsBackTheChosenIcon() {
        QFETCH(bool, phone);
        test::UiFixture f(phone ? app::DeviceKind::Smartphone : app::DeviceKind::PocketPC);
        WalletIcons icons;
        IconPicker picker(f.ui, builtin(5), icons.list);
        picker.show();
        QVERIFY(QTest::qWaitForWindowActive(&picker));
        QCOMPARE(picker.titleStrip()->title(), QStringLiteral("#28600"));
        auto* list = picker.findChild<QListWidget*>(names::kIconList);
        QCOMPARE(list->count(), 146);
        QCOMPARE(list->currentRow(), 5);
        QTest::keyClick(list, Qt::Key_Right);
        QCOMPARE(picker.newIcon().number, 6);
        list->setCurrentRow(145);
        QCOMPARE(picker.newIcon().kind, app::IconChoice::Kind::Wallet);
        QCOMPARE(picker.newIcon().iconFile, *icons.list.data(145));
        QTest::keyClick(&picker, Qt::Key_Return);
        QCOMPARE(picker.result()->number, 145);

        // The current icon chosen again, and Cancel: nothing.
        whenShown([](QWidget* d) {
            pickRow(d, 9);
            pickRow(d, 5);
            click(d, names::kDoneButton);
        });
        QCOMPARE(IconPicker::choose(f.ui, builtin(5), icons.list, nullptr).has_value(), false);
        whenShown([](QWidget* d) {
            pickRow(d, 9);
            click(d, names::kCancelButton);
        });
        QCOMPARE(IconPicker::choose(f.ui, builtin(5), icons.list, nullptr).has_value(), false);
    }

    void importedPictureIsTheNewIconAndARefusedOneChangesNothing() {
        test::UiFixture f;
        WalletIcons icons;
        QTemporaryDir dir;
        QString next = textFile(dir, "no picture");
        IconPicker picker(f.ui, builtin(5), icons.list, nullptr, [&](QWidget*) { return std::optional(next); });
        click(&picker, names::kImportIconButton);
        QCOMPARE(test::shownTexts(f.prompt), QStringList{QStringLiteral("#28612")});
        QCOMPARE(picker.newIcon().number, 5);
        next = redPicture(dir, 48, 48);
        click(&picker, names::kImportIconButton);
        QCOMPARE(picker.newIcon().kind, app::IconChoice::Kind::Picture);
        QCOMPARE(picker.newIcon().iconFile, iconFileFromPicture(next).iconFile);
        const QPixmap preview = picker.findChild<QLabel*>(names::kNewIconPreview)->pixmap();
        QCOMPARE(preview.toImage().pixelColor(preview.width() / 2, preview.height() / 2), QColor(Qt::red));
        QVERIFY(picker.result());
        // A custom icon as the current one: the same wallet icon again is no change.
        app::IconChoice current;
        current.kind = app::IconChoice::Kind::Wallet;
        current.number = -1;  // its record's icon, not known to the list by number
        current.iconFile = *icons.list.data(144);
        IconPicker again(f.ui, current, icons.list);
        again.findChild<QListWidget*>(names::kIconList)->setCurrentRow(144);
        QVERIFY(!again.result());
    }

    void folderPropertiesHandBackTheChangesAndTheWalletReadsThemBack_data() {
        QTest::addColumn<bool>("phone");
        QTest::newRow("Pocket PC") << false;
        QTest::newRow("Smartphone") << true;
    }
    void folderPropertiesHandBackTheChangesAndTheWalletReadsThemBack() {
        QFETCH(bool, phone);
        test::UiFixture f(phone ? app::DeviceKind::Smartphone : app::DeviceKind::PocketPC);
        test::FixtureWallet w;
        WalletIcons icons;
        const std::size_t position = w.addFolder(u"Bank");
        RecordHeader header = w.wallet.headerAt(position);
        FolderPropertiesDialog::Folder folder;
        folder.name = u"Bank";
        folder.icon = app::IconChoice::of(header, icons.list);
        folder.defaultForm = header.formRef();
        folder.mayPlaceAtMainLevel = true;

        whenShown([](QWidget* d) {
            auto* name = d->findChild<QLineEdit*>(names::kFolderNameEdit);
            if (d->focusWidget() != name || name->selectedText() != name->text()) qFatal("name not selected");
            QTest::keyClicks(name, QStringLiteral("Banks"));
            whenShown([](QWidget* picker) {
                pickRow(picker, 144);
                click(picker, names::kDoneButton);
            });
            click(d, names::kFolderIconButton);
            whenShown([](QWidget* chooser) {
                auto* list = chooser->findChild<QListWidget*>(names::kFormList);
                list->setCurrentRow(list->count() - 1);
                click(chooser, names::kDoneButton);
            });
            click(d, names::kDefaultFormButton);
            click(d, names::kMainLevelCheck);
            click(d, names::kDoneButton);
        });
        const auto changes = FolderPropertiesDialog::edit(f.ui, w.wallet, icons.list, folder, nullptr);
        QVERIFY(changes);
        QCOMPARE(changes->name, std::optional<std::u16string>(u"Banks"));
        QVERIFY(changes->icon);
        QCOMPARE(changes->icon->iconFile, *icons.list.data(144));
        QVERIFY(changes->defaultForm);
        QVERIFY(*changes->defaultForm != header.formRef());
        QCOMPARE(changes->placeAtMainLevel, std::optional<bool>(true));

        // Written as the main window writes them, the wallet reads them back.
        QVERIFY(header.setName(*changes->name, w.wallet.recordKey(), w.t.clock.localTime()));
        changes->icon->applyTo(header);
        header.setFormRef(*changes->defaultForm);
        QVERIFY(w.wallet.rewriteHeader(header));
        w.wallet.close();
        QCOMPARE(w.wallet.readAll(test::kWalletPath, test::kPassword, false), OpenResult::Ok);
        const RecordHeader back = w.wallet.headerAt(position);
        QCOMPARE(back.name(w.wallet.recordKey()), std::u16string(u"Banks"));
        QCOMPARE(back.customIcon(), *icons.list.data(144));
        QCOMPARE(back.formRef(), *changes->defaultForm);
    }

    void folderPropertiesCancelRevertsEveryChoice() {
        test::UiFixture f;
        test::FixtureWallet w;
        WalletIcons icons;
        FolderPropertiesDialog::Folder folder;
        folder.name = u"Bank";
        folder.icon = builtin(72);
        whenShown([](QWidget* d) {
            whenShown([](QWidget* picker) {
                pickRow(picker, 3);
                click(picker, names::kDoneButton);
            });
            click(d, names::kFolderIconButton);
            click(d, names::kCancelButton);
        });
        QVERIFY(!FolderPropertiesDialog::edit(f.ui, w.wallet, icons.list, folder, nullptr));
        // Nothing changed and OK: nothing handed back but the empty set of changes.
        whenShown([](QWidget* d) { click(d, names::kDoneButton); });
        const auto none = FolderPropertiesDialog::edit(f.ui, w.wallet, icons.list, folder, nullptr);
        QVERIFY(none && !none->name && !none->icon && !none->defaultForm && !none->placeAtMainLevel);
        QVERIFY(!w.wallet.headerAt(0).changed);
    }

    void specialEntryShowsOnlyItsNameOfAtMost62() {
        test::UiFixture f;
        f.strings.set(28705, u"Entry %d");
        test::FixtureWallet w;
        WalletIcons icons;
        FolderPropertiesDialog::Folder favourites;
        favourites.name = u"Favourites";
        favourites.specialEntry = 2;
        FolderPropertiesDialog dialog(f.ui, w.wallet, icons.list, favourites);
        QCOMPARE(dialog.titleStrip()->title(), QStringLiteral("Entry 2"));
        QVERIFY(!dialog.findChild<QToolButton*>(names::kFolderIconButton));
        QVERIFY(!dialog.findChild<QCheckBox*>(names::kMainLevelCheck));
        auto* name = dialog.findChild<QLineEdit*>(names::kFolderNameEdit);
        name->clear();
        QTest::keyClicks(name, QString(70, QLatin1Char('x')));
        QCOMPARE(dialog.changes().name->size(), 62u);
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::IconDialogsTest)
#include "IconDialogsTest.moc"
