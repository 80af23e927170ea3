// The card view's layout rules as a table: field counts, long values that wrap, the three layouts,
// and 100 % and 200 % scale; then keyboard paging through a row taller than the view.
#include <QScrollBar>

#include "app/CardRows.h"
#include "model/FieldKind.h"
#include "support/CardFixtures.h"
#include "support/TreeFixtures.h"
#include "support_qt/UiFixture.h"
#include "views/CardView.h"

namespace tw::ui {

using test::UiFixture;

namespace {

const LocalePatterns kLocale{u"M/d/yy", u"h:mm:ss tt", u":"};

std::u16string words(int count) {
    std::u16string out;
    for (int i = 0; i < count; ++i) out += u"word ";
    return out;
}

struct Shown {
    explicit Shown(int dpi, const Card& card) {
        f.ui.dpi = dpi;
        view = std::make_unique<CardView>(f.ui);
        view->resize(f.ui.px(240), f.ui.px(268));
        view->show();
        view->showCard(&card, app::buildViewRows(card, kLocale, f.strings));
    }
    UiFixture f;
    std::unique_ptr<CardView> view;
};

}  // namespace

class CardViewLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void layoutRules_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("layout");
        QTest::addColumn<int>("fields");
        QTest::addColumn<int>("longWords");  // words in the last field's value; 0 for a short one
        for (int dpi : {96, 192}) {
            for (int layout : {0, 1, 2}) {
                const QByteArray at = QByteArray::number(dpi) + " dpi, layout " + QByteArray::number(layout);
                QTest::newRow(at + ", no fields") << dpi << layout << 0 << 0;
                QTest::newRow(at + ", one short") << dpi << layout << 1 << 0;
                QTest::newRow(at + ", twelve, the last wrapping") << dpi << layout << 12 << 60;
                QTest::newRow(at + ", a stored layout of 7 is stacked") << dpi << (layout == 0 ? 7 : layout) << 3 << 0;
            }
        }
    }

    void layoutRules() {
        QFETCH(int, dpi);
        QFETCH(int, layout);
        QFETCH(int, fields);
        QFETCH(int, longWords);
        Card card;
        card.display() = CardDisplay::walletDefault();
        card.display().setLayout(static_cast<std::uint32_t>(layout));
        for (int i = 0; i < fields; ++i) {
            const bool last = i == fields - 1;
            test::addField(card, i % 3 == 1 ? field_kind::kWebAddress : field_kind::kText, u"Name",
                           last && longWords > 0 ? words(longWords) : u"value");
        }
        Shown s(dpi, card);
        CardView& view = *s.view;
        const bool stacked = layout == 0 || layout >= 3;
        QCOMPARE(view.layout() == CardView::Layout::Stacked, stacked);
        const int line = std::max(view.nameLineHeight(), view.valueLineHeight());
        int total = 0;
        for (std::size_t i = 0; i < view.rows().size(); ++i) {
            const int height = view.rowHeights()[i];
            total += height;
            const bool isName = i % 2 == 0;
            if (isName && !stacked) {
                QCOMPARE(height, 0);  // side by side, the name shares the value's first line
            } else {
                QVERIFY(height > 0 && height % line == 0);
            }
            const bool wraps = !isName && longWords > 0 && i + 1 == view.rows().size();
            QCOMPARE(height > line, wraps);
        }
        QCOMPARE(view.totalHeight(), total);
        const int page = view.viewport()->height();
        QCOMPARE(view.verticalScrollBar()->maximum(), std::max(0, total - page));
        if (fields > 1) {
            // The web row's icon: Scale(16) square, in the column of Scale(20) at the edge.
            const QRect icon = view.iconRect(3);
            QCOMPARE(icon.width(), s.f.ui.px(16));
            const int expectedX = layout == 1 ? s.f.ui.px(2) : view.viewport()->width() - s.f.ui.px(20) + s.f.ui.px(2);
            QCOMPARE(icon.x(), expectedX);
        }
    }

    void downPagesThroughATallRowBeforeMovingOn() {
        Card card;
        card.display() = CardDisplay::walletDefault();
        test::addField(card, field_kind::kText, u"Short", u"a");
        test::addField(card, field_kind::kText, u"Long", words(600));
        test::addField(card, field_kind::kText, u"After", u"b");
        Shown s(96, card);
        CardView& view = *s.view;
        QCOMPARE(view.selected(), 1);
        const int page = view.viewport()->height();
        QVERIFY(view.rowHeights()[3] > 2 * page);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(view.selected(), 3);
        int pages = 0;
        while (view.selected() == 3 && pages < 100) {
            QTest::keyClick(&view, Qt::Key_Down);
            ++pages;
        }
        QCOMPARE(view.selected(), 5);
        QVERIFY(pages >= 2);
        QTest::keyClick(&view, Qt::Key_Down);  // the last row stays selected
        QCOMPARE(view.selected(), 5);
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(view.selected(), 3);
        while (view.selected() == 3 && pages < 200) {
            QTest::keyClick(&view, Qt::Key_Up);
            ++pages;
        }
        QCOMPARE(view.selected(), 1);
        QCOMPARE(view.verticalScrollBar()->value(), 0);
    }
};

}  // namespace tw::ui

TW_QTEST_MAIN(tw::ui::CardViewLayoutTest)
#include "CardViewLayoutTest.moc"
