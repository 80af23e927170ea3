#include "views/SoundPlayer.h"

#include <QProcess>
#include <QStandardPaths>

#include "model/WaveSound.h"

namespace tw::ui {

SoundPlayer::SoundPlayer(QObject* parent) : QObject(parent) {}

SoundPlayer::~SoundPlayer() {
    stop();
}

bool SoundPlayer::play(std::span<const std::uint8_t> wave) {
    stop();
    if (!readWave(wave)) return false;
    struct Player {
        const char* program;
        QStringList args;
    };
    const Player players[] = {
        {"pw-play", {QStringLiteral("-")}}, {"paplay", {}}, {"aplay", {QStringLiteral("-q"), QStringLiteral("-")}}};
    for (const Player& player : players) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(player.program));
        if (path.isEmpty()) continue;
        m_process = new QProcess(this);
        m_process->setProgram(path);
        m_process->setArguments(player.args);
        m_process->setStandardOutputFile(QProcess::nullDevice());
        m_process->setStandardErrorFile(QProcess::nullDevice());
        m_process->start(QIODevice::WriteOnly);
        if (!m_process->waitForStarted(2000)) {
            delete m_process;
            m_process = nullptr;
            continue;
        }
        m_process->write(reinterpret_cast<const char*>(wave.data()), static_cast<qint64>(wave.size()));
        m_process->closeWriteChannel();
        return true;
    }
    return false;
}

void SoundPlayer::stop() {
    if (!m_process) return;
    m_process->kill();
    m_process->waitForFinished(1000);
    delete m_process;
    m_process = nullptr;
}

}  // namespace tw::ui
