// The title strip: its gradient and colours from the settings, one height for every dialog.
#include <QImage>

#include "support_qt/UiFixture.h"
#include "views/DlgBar.h"
#include "views/EnterPasswordDialog.h"
#include "views/SecurityOptionsDialog.h"

namespace tw::ui {

class DlgBarTest : public QObject {
    Q_OBJECT

private slots:
    void paintsTheGradientBetweenTheSettingsColours() {
        test::UiFixture f;
        f.settings.colorBarStart = 0x0000FF;  // red, as COLORREF 0x00BBGGRR
        f.settings.colorBarEnd = 0xFF0000;    // blue
        f.settings.colorBarText = 0x00FF00;   // green
        DlgBar bar(f.ui);
        bar.setTitle(QStringLiteral("Bank accounts"));
        bar.resize(300, DlgBar::stripHeight(f.ui));
        const QImage image = bar.grab().toImage();
        QCOMPARE(image.pixelColor(0, 2), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(image.width() - 1, 2), QColor(0, 0, 255));
        bool greenText = false;
        for (int x = 0; x < image.width() && !greenText; ++x) {
            for (int y = 0; y < image.height() && !greenText; ++y) {
                const QColor c = image.pixelColor(x, y);
                greenText = c.green() > 200 && c.red() < 60 && c.blue() < 60;
            }
        }
        QVERIFY(greenText);
    }

    void everyDialogHasTheSameStrip() {
        for (auto device : {app::DeviceKind::PocketPC, app::DeviceKind::Smartphone}) {
            test::UiFixture f(device);
            EnterPasswordDialog password(f.ui, u"Home", nullptr);
            SecurityOptionsDialog security(f.ui, 5, false);
            password.show();
            security.show();
            QCOMPARE(password.titleStrip()->height(), DlgBar::stripHeight(f.ui));
            QCOMPARE(security.titleStrip()->height(), DlgBar::stripHeight(f.ui));
            QCOMPARE(password.titleStrip()->width(), password.width());
        }
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::DlgBarTest)
#include "DlgBarTest.moc"
