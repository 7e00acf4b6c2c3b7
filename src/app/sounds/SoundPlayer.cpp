#include "SoundPlayer.h"

#include "dsp/TonePcm.h"

#include <QFile>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QUrl>

namespace tesmar {

QtSoundPlayer::QtSoundPlayer(QObject* parent) : QObject(parent) {}

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::playTone(int frequency, int beeps)
{
    const auto key = std::make_pair(frequency, beeps);
    auto it = toneFiles_.find(key);
    if (it == toneFiles_.end()) {
        if (!toneFolder_)
            toneFolder_ = std::make_unique<QTemporaryDir>();
        if (!toneFolder_->isValid())
            return;
        const QString path = toneFolder_->filePath(QString("tone-%1-%2.wav").arg(frequency).arg(beeps));
        const auto image = WavFileImage(BeepSequencePcm(frequency, beeps));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size())) !=
                static_cast<qint64>(image.size()))
            return;
        it = toneFiles_.emplace(key, path).first;
    }
    play(it->second);
}

void QtSoundPlayer::playFile(const QString& path)
{
    if (QFile::exists(path))
        play(path);
}

void QtSoundPlayer::play(const QString& path)
{
    if (!effect_)
        effect_ = new QSoundEffect(this);
    effect_->stop();
    lastSource_ = path;
    effect_->setSource(QUrl::fromLocalFile(path));
    effect_->play();
}

} // namespace tesmar
