// The shared image lists: their sizes at each screen density and what every entry draws.
#include <QBuffer>

#include "resources/icons/IconArt.h"
#include "support_qt/UiFixture.h"
#include "views/ImageLists.h"

namespace tw::ui {

namespace {

QImage drawn(const QIcon& icon, int size) {
    return icon.pixmap(QSize(size, size), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
}

// An icon file's bytes holding one picture of the colour.
std::vector<std::uint8_t> iconFile(QColor colour) {
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "ICO")) qFatal("no icon file");
    return {bytes.begin(), bytes.end()};
}

}  // namespace

class ImageListsTest : public QObject {
    Q_OBJECT

private slots:
    void listSizesFollowTheScreen_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("small");
        QTest::addColumn<int>("large");
        QTest::newRow("96") << 96 << 16 << 32;
        QTest::newRow("120: 20 rounds to 24, 40 is kept") << 120 << 24 << 40;
        QTest::newRow("128: 21 rounds to 24") << 128 << 24 << 43;
        QTest::newRow("192") << 192 << 32 << 64;
        QTest::newRow("72: 12 is kept, 24") << 72 << 12 << 24;
    }
    void listSizesFollowTheScreen() {
        QFETCH(int, dpi);
        QFETCH(int, small);
        QFETCH(int, large);
        QCOMPARE(ImageLists::small(dpi).iconSize(), small);
        QCOMPARE(ImageLists::large(dpi).iconSize(), large);
        QCOMPARE(&ImageLists::small(dpi), &ImageLists::small(dpi));  // made once
    }

    void entriesDrawTheirOwnPictureAndNoneShifts() {
        const ImageList& list = ImageLists::small(96);
        QCOMPARE(list.count(), 148);
        QCOMPARE(drawn(list.icon(0), 16), drawn(icons::overlayIcon(0), 16));
        QCOMPARE(drawn(list.icon(4 + 55), 16), drawn(icons::builtinIcon(55), 16));
        QCOMPARE(drawn(list.icon(147), 16), drawn(icons::builtinIcon(143), 16));
        // The placeholder is neither the first overlay nor any built-in icon.
        const QImage placeholder = drawn(list.icon(app::kPlaceholderEntry), 16);
        QCOMPARE(placeholder, drawn(icons::builtinIcon(-1), 16));
        QVERIFY(placeholder != drawn(list.icon(0), 16));
        QVERIFY(placeholder != drawn(list.icon(4), 16));
        // The pixmap at twice the density is drawn at that density, not enlarged.
        const QPixmap sharp = list.pixmap(10, 2.0);
        QCOMPARE(sharp.size(), QSize(32, 32));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
    }

    void customIconsComeAfterTheBuiltInOnes() {
        app::CustomIcons custom;
        RecordHeader red, green, broken;
        red.setCustomIcon(iconFile(Qt::red));
        green.setCustomIcon(iconFile(Qt::green));
        broken.setCustomIcon({1, 2, 3, 4});
        custom.add(red);
        custom.add(green);
        custom.add(broken);
        const ImageList& list = ImageLists::small(96);
        QCOMPARE(drawn(list.icon(148, &custom), 16).pixelColor(8, 8), QColor(Qt::red));
        QCOMPARE(drawn(ImageLists::recordIcon(green, custom), 16).pixelColor(8, 8), QColor(Qt::green));
        // Bytes that do not decode, and a record whose icon is not in the list: the placeholder.
        const QImage placeholder = drawn(icons::builtinIcon(-1), 16);
        QCOMPARE(drawn(list.icon(150, &custom), 16), placeholder);
        RecordHeader unknown;
        unknown.setCustomIcon(iconFile(Qt::blue));
        QCOMPARE(drawn(ImageLists::recordIcon(unknown, custom), 16), placeholder);
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::ImageListsTest)
#include "ImageListsTest.moc"
