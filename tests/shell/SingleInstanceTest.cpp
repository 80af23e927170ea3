// One program per user session: the lock, the socket, the messages, and a second process that
// hands its request to the first, also after a first program was killed.
#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "shell/SingleInstance.h"
#include "support_qt/UiFixture.h"

namespace tw::shell {

namespace {

// The test program started again as another process: "--instance FOLDER TYPE TEXT" sends one
// message as a second program would (exit 0 when delivered, 3 when it found itself first);
// "--hold FOLDER" becomes the first program and waits to be killed.
int runChild(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    SingleInstance instance(args.at(2));
    if (args.at(1) == QStringLiteral("--hold")) {
        if (instance.start() != SingleInstance::Role::Primary) return 4;
        fputs("ready\n", stdout);
        fflush(stdout);
        return application.exec();
    }
    if (instance.start() == SingleInstance::Role::Primary) return 3;
    const InstanceMessage message{static_cast<InstanceMessageType>(args.at(3).toInt()), args.value(4)};
    return instance.send(message) ? 0 : 1;
}

int sendFromChild(const QString& folder, InstanceMessageType type, const QString& text) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--instance"), folder, QString::number(static_cast<int>(type)), text});
    if (!child.waitForFinished(20000)) return -1;
    return child.exitCode();
}

}  // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void messagesSurviveAnySplitAndBadFramesAreRefused() {
        const InstanceMessage open{InstanceMessageType::OpenFile, QStringLiteral("/home/u/Mäin wallet.tm5")};
        const InstanceMessage close{InstanceMessageType::Close, {}};
        const QByteArray stream = encodeInstanceMessage(open) + encodeInstanceMessage(close);
        for (int split = 0; split <= stream.size(); ++split) {
            InstanceMessageReader reader;
            std::vector<InstanceMessage> got;
            reader.append(stream.left(split));
            while (auto m = reader.next()) got.push_back(*m);
            reader.append(stream.mid(split));
            while (auto m = reader.next()) got.push_back(*m);
            QCOMPARE(got.size(), std::size_t{2});
            QVERIFY(got[0] == open && got[1] == close);
        }
        const QByteArray bad[] = {
            QByteArray("\x00\x00\x00\x00", 4),      // no type
            QByteArray("\x01\x00\x00\x00\x09", 5),  // unknown type
            QByteArray("\x01\x00\x01\x00\x01", 5),  // longer than a frame may be
        };
        for (const QByteArray& frame : bad) {
            InstanceMessageReader reader;
            reader.append(frame + encodeInstanceMessage(close));
            QVERIFY(!reader.next());
            QVERIFY(reader.failed());
        }
    }

    void aSecondProgramHandsItsRequestToTheFirst() {
        QTemporaryDir folder;
        SingleInstance first(folder.path());
        QCOMPARE(first.start(), SingleInstance::Role::Primary);
        SingleInstance again(folder.path());
        QCOMPARE(again.start(), SingleInstance::Role::Secondary);
        QSignalSpy received(&first, &SingleInstance::received);

        QCOMPARE(sendFromChild(folder.path(), InstanceMessageType::OpenFile, QStringLiteral("/w/Home.tm5")), 0);
        QTRY_COMPARE(received.count(), 1);
        const auto message = received.at(0).at(0).value<InstanceMessage>();
        QVERIFY(message == (InstanceMessage{InstanceMessageType::OpenFile, QStringLiteral("/w/Home.tm5")}));
        QCOMPARE(sendFromChild(folder.path(), InstanceMessageType::Activate, {}), 0);
        QTRY_COMPARE(received.count(), 2);
        // The socket is the user's alone.
        QCOMPARE(QFile(first.socketPath()).permissions() &
                     (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
                 QFile::Permissions());
    }

    void aKilledFirstProgramLeavesNothingThatBlocksTheNext() {
        QTemporaryDir folder;
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold"), folder.path()});
        QVERIFY(holder.waitForReadyRead(20000));
        QCOMPARE(sendFromChild(folder.path(), InstanceMessageType::Activate, {}), 0);
        holder.kill();
        QVERIFY(holder.waitForFinished(20000));
        QVERIFY(QFile::exists(folder.path() + QStringLiteral("/hgtmpro5.mtx")));  // the stale socket

        SingleInstance next(folder.path());
        QCOMPARE(next.start(), SingleInstance::Role::Primary);
        QSignalSpy received(&next, &SingleInstance::received);
        QCOMPARE(sendFromChild(folder.path(), InstanceMessageType::SyncEnd, {}), 0);
        QTRY_COMPARE(received.count(), 1);
    }

    void withNobodyListeningASendGivesUp() {
        QTemporaryDir folder;
        SingleInstance lone(folder.path());
        QVERIFY(!lone.send(InstanceMessage{}, 200));
    }
};

}  // namespace tw::shell

Q_DECLARE_METATYPE(tw::shell::InstanceMessage)

int main(int argc, char** argv) {
    if (argc >= 3 && (qstrcmp(argv[1], "--instance") == 0 || qstrcmp(argv[1], "--hold") == 0))
        return tw::shell::runChild(argc, argv);
    tw::test::prepareQtTestProcess(argv[0]);
    QCoreApplication application(argc, argv);
    tw::shell::SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SingleInstanceTest.moc"
