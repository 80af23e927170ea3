#pragma once

#include <QIcon>
#include <QWidget>

namespace tw::ui {

struct UiContext;

// The title strip at the top of every dialog (the window class HGDlgBar of the device): a
// gradient from "Color.BarStart" to "Color.BarEnd", an icon at the left (or none) inset by half
// the difference of the strip's and the icon's heights, and the title after it in
// "Color.BarText", Scale(5) from the icon and Scale(5) short of the right edge, cut with "…" when
// it does not fit. All strips share one height.
class DlgBar final : public QWidget {
    Q_OBJECT

public:
    DlgBar(const UiContext& ui, QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setIcon(const QIcon& icon);

    // The shared height for the context's fonts and screen.
    static int stripHeight(const UiContext& ui);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const UiContext& m_ui;
    QString m_title;
    QIcon m_icon;
};

}  // namespace tw::ui
