#pragma once
// The sounds window: a sound for each of the 18 conditions on the general signal parameters of
// the oscilloscope and spectrum pages, played when its condition has just become true.

#include "dsp/SignalParams.h"
#include "dsp/SoundConditions.h"

#include <QDialog>

#include <array>
#include <optional>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace tesmar {

class DialogFolders;
class SoundPlayer;

class TfmOSC_Buzzer : public QDialog {
    Q_OBJECT
public:
    TfmOSC_Buzzer(SoundPlayer& player, DialogFolders& folders, QWidget* parent = nullptr);

    // After every parameter readout of the oscilloscope or spectrum page.
    void CheckSounds(const std::array<std::optional<SignalParams>, 2>& params, std::array<double, 2> rangeVolts);
    void PlaySound(QComboBox* list);

    // Condition i's threshold field and sound list (i = 0 … 17 in the condition order).
    std::array<QLineEdit*, kSoundConditionCount> thresholdFields{};
    std::array<QComboBox*, kSoundConditionCount> soundLists{};
    std::array<QToolButton*, kSoundConditionCount> openButtons{};
    std::array<QToolButton*, kSoundConditionCount> playButtons{};
    QToolButton* spbtNoSoundCh1 = nullptr;
    QToolButton* spbtNoSoundCh2 = nullptr;

public slots:
    void spbtNoSoundCh1Click();
    void spbtNoSoundCh2Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildChannelGroup(int channel);
    void openClick(int condition);
    char decimalSeparator() const;

    SoundPlayer& player_;
    DialogFolders& folders_;
    SoundConditions conditions_;
    bool thresholdsEdited_ = true;
};

} // namespace tesmar
