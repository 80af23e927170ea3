#include <gtest/gtest.h>

#include <QByteArray>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSet>
#include <cmath>
#include <memory>
#include <string>

#include "model/BuiltinForms.h"
#include "model/CardImport.h"
#include "resources/icons/IconArt.h"
#include "resources/icons/IconCatalogue.h"
#include "storage/CreateWallet.h"
#include "storage/WalletFile.h"
#include "support/TestEnv.h"

namespace tw::icons {
namespace {

// QIcon and QPixmap need an application; the offscreen platform needs no display.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_icons";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QGuiApplication> m_app;
};
[[maybe_unused]] ::testing::Environment* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

QByteArray pixels(const QImage& image) {
    const QImage plain = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return QByteArray(reinterpret_cast<const char*>(plain.constBits()), plain.sizeInBytes());
}

bool samePixels(const QImage& a, const QImage& b) {
    return a.size() == b.size() && pixels(a) == pixels(b);
}

int paintedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return count;
}

double luminance(QColor colour) {
    const auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(IconCatalogueTest, compiledInCatalogueHasEveryPictureTheProgramAsksFor) {
    EXPECT_TRUE(catalogue().problems().isEmpty()) << catalogue().problems().join(u'\n').toStdString();
    for (int n = 0; n < kBuiltinCount; ++n) EXPECT_TRUE(hasIcon(builtinResource(n))) << "built-in " << n;
    for (int i = 0; i < kOverlayCount; ++i) EXPECT_TRUE(hasIcon(overlayResource(i))) << "overlay " << i;
    for (int i = 0; i < kActionCount; ++i) EXPECT_TRUE(hasIcon(actionResource(i))) << "action " << i;
    for (int id : {kProgram, kWalletDocument, kOldWalletDocument, kFormDocument, kTitleFolderProperties,
                   kTitleAttachments, kTitlePassword, kTitleFormDesign, kTitleNotes, kTitlePicture, kTitleSound,
                   kTitleSelectionList, kTitleColours}) {
        EXPECT_TRUE(hasIcon(id)) << id;
    }
    struct Strip {
        int id;
        int images;
        int size;
    };
    for (const Strip& strip : {Strip{kExpandStripSmall, 2, 8}, Strip{kExpandStripLarge, 2, 16},
                               Strip{kToolbarStripSmall, 3, 16}, Strip{kToolbarStripLarge, 3, 32}}) {
        EXPECT_EQ(stripImageCount(strip.id), strip.images) << strip.id;
        EXPECT_EQ(stripImageSize(strip.id), strip.size) << strip.id;
    }
}

TEST(IconCatalogueTest, unreadableLinesAreReportedAndLeftOut) {
    struct Case {
        const char16_t* line;
        const char16_t* problem;
    };
    const Case cases[] = {
        {u"10\tglyph\tstar\t#112233\tFavourites", u"expected 6 cells"},
        {u"x\tglyph\tstar\t#112233\t-\tFavourites", u"bad id"},
        {u"10\tsparkle\tstar\t#112233\t-\tFavourites", u"unknown style"},
        {u"10\tglyph 3\tstar\t#112233\t-\tFavourites", u"takes no argument"},
        {u"10\tglyph\tstar\tgold\t-\tFavourites", u"bad colour"},
        {u"10\tglyph\tstar,key\t#112233\t-\tFavourites", u"one picture and one colour"},
        {u"10\tinner 12,10\tdrawn:card\t#112233\tkey\tKey card", u"inner needs"},
        {u"10\tinner 12,10,8\tdrawn:card\t#112233\t-\tKey card", u"a mark goes with the inner style"},
        {u"10\tglyph\tstar\t#112233\tkey\tFavourites", u"a mark goes with the inner style"},
        {u"10\tstrip 8\tstar,key\t#112233\t-\tButtons", u"one colour per picture"},
        {u"10\tstrip\tstar\t#112233\t-\tButtons", u"strip needs an image size"},
        {u"10\tglyph\tstar\t#112233\t-\t", u"no meaning"},
        {u"1\tglyph\tkey\t#445566\t-\tKeys again", u"id 1 given twice"},
    };
    for (const Case& c : cases) {
        const QString text =
            QStringLiteral("# comment\n1\tglyph\tkey\t#445566\t-\tKeys\n\n") + QString::fromUtf16(c.line);
        const IconCatalogue parsed = IconCatalogue::parse(text);
        ASSERT_EQ(parsed.problems().size(), 1) << QString::fromUtf16(c.line).toStdString();
        EXPECT_TRUE(parsed.problems()[0].startsWith(u"line 4: ")) << parsed.problems()[0].toStdString();
        EXPECT_TRUE(parsed.problems()[0].contains(QString::fromUtf16(c.problem))) << parsed.problems()[0].toStdString();
        ASSERT_EQ(parsed.entries().size(), 1);
        EXPECT_EQ(parsed.find(1)->meaning, u"Keys");
        EXPECT_EQ(parsed.find(10), nullptr);
    }
}

TEST(IconArtTest, everyCataloguedPictureDrawsAtEveryListSizeAndDoubleScale) {
    for (const CatalogueEntry& entry : catalogue().entries()) {
        for (int size : {16, 24, 32}) {
            for (qreal ratio : {1.0, 2.0}) {
                const QImage image = renderIcon(entry.id, size, ratio);
                const int side = static_cast<int>(size * ratio);
                ASSERT_EQ(image.size(), QSize(side, side)) << entry.id;
                EXPECT_EQ(image.devicePixelRatio(), ratio);
                // A missing or unreadable picture would draw the placeholder instead.
                EXPECT_FALSE(samePixels(image, renderPlaceholder(size, ratio))) << entry.id << " at " << size;
                EXPECT_GT(paintedPixels(image), side * side / 10) << entry.id << " at " << size;
            }
        }
        if (entry.style == IconStyle::Strip) {
            const QImage strip = renderStrip(entry.id, 2.0);
            const int side = entry.stripImageSize * 2;
            ASSERT_EQ(strip.size(), QSize(side * static_cast<int>(entry.pictures.size()), side)) << entry.id;
            for (int i = 0; i < entry.pictures.size(); ++i) {
                EXPECT_GT(paintedPixels(strip.copy(i * side, 0, side, side)), side * side / 10) << entry.id << "/" << i;
            }
        }
    }
}

TEST(IconArtTest, allBuiltInIconsLookDifferent) {
    for (int size : {16, 32}) {
        QSet<QByteArray> seen;
        for (int n = 0; n < kBuiltinCount; ++n) {
            EXPECT_FALSE(seen.contains(pixels(renderIcon(builtinResource(n), size)))) << n << " repeats at " << size;
            seen.insert(pixels(renderIcon(builtinResource(n), size)));
        }
    }
}

TEST(IconArtTest, coloursStandOutOnLightAndDarkBackgrounds) {
    const QColor light(Qt::white);
    const QColor dark(0x20, 0x21, 0x24);
    for (const CatalogueEntry& entry : catalogue().entries()) {
        // The expand button draws its black image on white and its white one on black.
        if (entry.id == kExpandStripSmall || entry.id == kExpandStripLarge) continue;
        for (const QColor& colour : entry.colours) {
            EXPECT_GE(contrast(colour, light), 2.0) << entry.id << " " << colour.name().toStdString();
            EXPECT_GE(contrast(colour, dark), 2.0) << entry.id << " " << colour.name().toStdString();
        }
    }
}

// Each form's icon must show what the form is for.
TEST(IconArtTest, builtInFormsShowIconsThatMeanWhatTheFormsAre) {
    const char16_t* const meanings[kBuiltinFormCount] = {
        u"Credit card",                    // 0 Credit Card
        u"Account and calling card",       // 1 Calling Card
        u"Account and calling card",       // 2 Bank Account
        u"Contact",                        // 3 Contact
        u"Debit card",                     // 4 Debit Card
        u"E-mail",                         // 5 E-mail Account
        u"Software",                       // 6 Software Licence
        u"Insurance",                      // 7 Insurance
        u"Membership",                     // 8 Membership
        u"Passport",                       // 9 Passport
        u"Lock",                           // 10 Combination Lock
        u"Important date",                 // 11 Important Date
        u"ID card",                        // 12 ID Card
        u"Driving licence",                // 13 Driving Licence
        u"Vehicle",                        // 14 Vehicle
        u"Health insurance",               // 15 Health Insurance
        u"Wireless network",               // 16 Wireless Network
        u"Note",                           // 17 Note
        u"Air travel and frequent flyer",  // 18 Frequent Flyer
        u"Server",                         // 19 Server Account
        u"Social security",                // 20 Social Security
        u"Voice mail",                     // 21 Voice Mail
        u"Travel",                         // 22 Flight
        u"Internet access",                // 23 Internet Access
        u"Computer",                       // 24 Computer Login
        u"Travel",                         // 25 Hotel Reservation
        u"Medical information",            // 26 Medical Information
        u"Prescription and medicine",      // 27 Prescription
        u"Loyalty card",                   // 28 Loyalty Card
        u"Safe deposit box",               // 29 Safe Deposit Box
        u"Alarm system",                   // 30 Alarm System
        u"Mobile phone",                   // 31 Mobile Phone
        u"Investments and brokerage",      // 32 Brokerage Account
        u"Loan",                           // 33 Loan
        u"Web",                            // 34 Web Login
        u"Instant messaging",              // 35 Instant Messenger
        u"Utilities",                      // 36 Utility Account
        u"Product registration",           // 37 Product Registration
        u"Car rental",                     // 38 Car Rental
        u"Library card",                   // 39 Library Card
        u"Clothing sizes",                 // 40 Clothing Sizes
        u"Passwords",                      // 41 Web Logins
        u"Phone list",                     // 42 Phone List
    };
    for (std::size_t index = 0; index < kBuiltinFormCount; ++index) {
        const int icon = builtinForm(index)->icon;
        EXPECT_EQ(iconMeaning(builtinResource(icon)), QString::fromUtf16(meanings[index]))
            << "form " << index << " shows icon " << icon;
    }
}

TEST(IconArtTest, newWalletsAndImportsShowIconsThatMeanWhatTheyAre) {
    test::TestEnv t;
    ASSERT_EQ(createWallet(t.env, test::kWalletPath, test::kPassword, std::nullopt, true), CreateResult::Ok);
    WalletFile wallet(t.env);
    ASSERT_EQ(wallet.readAll(test::kWalletPath, test::kPassword, true), OpenResult::Ok);
    const auto meaning = [](std::int64_t number) { return iconMeaning(builtinResource(static_cast<int>(number))); };
    EXPECT_EQ(meaning(wallet.keys().specialIcon(1)), u"Favourites");
    EXPECT_EQ(meaning(wallet.keys().specialIcon(2)), u"Search results");
    EXPECT_EQ(meaning(wallet.keys().specialIcon(3)), u"Recent cards");
    ASSERT_EQ(wallet.index().count(), 2u);
    for (std::size_t i = 0; i < wallet.index().count(); ++i) {
        const IndexEntry& record = wallet.index().at(i);
        EXPECT_EQ(meaning(record.iconIndex()), record.type() == RecordType::FormsFolder ? u"Forms folder" : u"Folder");
    }
    EXPECT_EQ(meaning(kImportFolderIcon), u"Folder");
    EXPECT_EQ(meaning(kImportCardIcon), u"Important date");
}

TEST(IconArtTest, outOfRangeNumbersDrawThePlaceholderNeverAnotherEntry) {
    const QIcon icons[] = {builtinIcon(-1), builtinIcon(kBuiltinCount),
                           builtinIcon(-4), overlayIcon(-1),
                           overlayIcon(4),  actionIcon(-1),
                           actionIcon(4),   icon(0),
                           icon(444),       icon(295)};
    const QImage placeholder = renderPlaceholder(16);
    for (std::size_t i = 0; i < std::size(icons); ++i) {
        EXPECT_TRUE(samePixels(icons[i].pixmap(16).toImage(), placeholder)) << "case " << i;
    }
    EXPECT_FALSE(samePixels(builtinIcon(0).pixmap(16).toImage(), placeholder));
    EXPECT_FALSE(samePixels(overlayIcon(3).pixmap(16).toImage(), placeholder));
    EXPECT_FALSE(samePixels(actionIcon(3).pixmap(16).toImage(), placeholder));
}

TEST(IconArtTest, iconsDrawAtTheDevicePixelsTheyAreShownOn) {
    const int id = builtinResource(110);
    const QImage sharp = renderIcon(id, 16, 2.0);

    const QPixmap pixmap = icon(id).pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(pixmap.size(), QSize(32, 32));
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    EXPECT_TRUE(samePixels(pixmap.toImage(), sharp));

    // Painted into a surface at double scale, the icon is drawn at 32 pixels, not stretched from 16.
    QImage surface(QSize(32, 32), QImage::Format_ARGB32_Premultiplied);
    surface.setDevicePixelRatio(2.0);
    surface.fill(Qt::transparent);
    QPainter painter(&surface);
    icon(id).paint(&painter, QRect(0, 0, 16, 16));
    painter.end();
    EXPECT_TRUE(samePixels(surface, sharp));

    EXPECT_FALSE(samePixels(icon(id).pixmap(QSize(16, 16), QIcon::Disabled).toImage(), renderIcon(id, 16)));
}

}  // namespace
}  // namespace tw::icons
