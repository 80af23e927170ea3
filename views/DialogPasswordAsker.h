#pragma once

#include <QPointer>
#include <QWidget>

#include "app/OpenWallet.h"

namespace tw::ui {

struct UiContext;

// The open flow's password question as the password entry dialog, over `parent`.
class DialogPasswordAsker final : public app::PasswordAsker {
public:
    DialogPasswordAsker(const UiContext& ui, QWidget* parent) : m_ui(ui), m_parent(parent) {}
    std::optional<std::u16string> askPassword(const app::PasswordRequest& request) override;

private:
    const UiContext& m_ui;
    QPointer<QWidget> m_parent;
};

}  // namespace tw::ui
