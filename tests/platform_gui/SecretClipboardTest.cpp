#include <gtest/gtest.h>

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <cstdlib>
#include <memory>

#include "platform/SecretClipboard.h"

namespace tw {
namespace {

class SecretClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char arg0[] = "test";
        static char* argv[] = {arg0, nullptr};
        s_app = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() { s_app.reset(); }
    void SetUp() override { clipboard()->clear(); }

    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    static void wait(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    static inline std::unique_ptr<QGuiApplication> s_app;
};

TEST_F(SecretClipboardTest, TheSecretIsMarkedAndClearedAfterTheTimeout) {
    SecretClipboard secret(clipboard());
    secret.copySecret(QStringLiteral("pa55"), 100);
    const QMimeData* data = clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("pa55"));
    EXPECT_EQ(data->data(QString::fromLatin1(SecretClipboard::kHintFormat)), QByteArray("secret"));
    EXPECT_TRUE(secret.holdsSecret());
    // Never on the primary selection (where the platform has one).
    if (clipboard()->supportsSelection()) {
        EXPECT_TRUE(clipboard()->text(QClipboard::Selection).isEmpty());
    }
    wait(300);
    EXPECT_TRUE(clipboard()->text().isEmpty());
    EXPECT_FALSE(secret.pending());
}

TEST_F(SecretClipboardTest, WhatTheUserCopiedSinceIsLeftAlone) {
    {
        SecretClipboard secret(clipboard());
        secret.copySecret(QStringLiteral("pa55"), 100);
        clipboard()->setText(QStringLiteral("mine"));
        EXPECT_FALSE(secret.holdsSecret());
        wait(300);
        EXPECT_EQ(clipboard()->text(), QStringLiteral("mine"));
        secret.copySecret(QStringLiteral("again"), 0);  // no timeout: cleared when the object goes
        wait(200);
        EXPECT_EQ(clipboard()->text(), QStringLiteral("again"));
    }
    EXPECT_TRUE(clipboard()->text().isEmpty());
    {
        SecretClipboard secret(clipboard());
        secret.copySecret(QStringLiteral("pa55"), 0);
        clipboard()->setText(QStringLiteral("mine"));
    }
    EXPECT_EQ(clipboard()->text(), QStringLiteral("mine"));
}

}  // namespace
}  // namespace tw
