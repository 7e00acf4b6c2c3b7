#pragma once
// Where the program's sounds go: beeps of a pitch and uncompressed WAV files, both played
// without waiting. A machine without audio output stays silent; nothing here is an error.

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSoundEffect;
class QTemporaryDir;

namespace tesmar {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playTone(int frequency, int beeps) = 0;
    virtual void playFile(const QString& path) = 0;
};

// Qt Multimedia, set up on the first sound only. A new sound stops the one still playing.
class QtSoundPlayer final : public QObject, public SoundPlayer {
public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;
    void playTone(int frequency, int beeps) override;
    void playFile(const QString& path) override;
    // The file last handed to the audio output.
    const QString& lastSource() const { return lastSource_; }

private:
    void play(const QString& path);

    std::unique_ptr<QTemporaryDir> toneFolder_;
    std::map<std::pair<int, int>, QString> toneFiles_;
    QSoundEffect* effect_ = nullptr;
    QString lastSource_;
};

} // namespace tesmar
