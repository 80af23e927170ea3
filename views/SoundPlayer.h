#pragma once

#include <QObject>
#include <cstdint>
#include <span>

class QProcess;

namespace tw::ui {

// Plays a wave image from memory, one at a time, without waiting: the bytes are handed to the
// desktop's sound player ("pw-play", "paplay" or "aplay", the first found) on its standard input,
// never through a file or a shell. Only data the wave reader accepts is played. Without a player
// nothing plays.
class SoundPlayer : public QObject {
    Q_OBJECT

public:
    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;
    // Stops what plays, then plays `wave`. False when nothing could be started.
    virtual bool play(std::span<const std::uint8_t> wave);
    virtual void stop();

private:
    QProcess* m_process = nullptr;
};

}  // namespace tw::ui
