#include "TfmOSC_Buzzer.h"

#include "app/TextFit.h"

#include "SoundPlayer.h"
#include "app/FileDialogs.h"

#include <algorithm>

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QToolButton>

namespace tesmar {

namespace {

const FileDialogKind& kSoundFiles = FileDialog("odOpenSound");

// Field and list names of the nine conditions of channel A; channel B ends in Ch2.
constexpr const char* kSubjects[9] = {"UcM", "UcL", "UcE", "UvM", "UvL", "UvE", "FrM", "FrL", "FrE"};
constexpr const char* kCaptions[9] = {"Uconst > ", "Uconst < ", "Uconst = ", "Uvaria  > ", "Uvaria  < ",
                                      "Uvaria  = ", "Частота>", "Частота<", "Частота="};

QByteArray Name(const char* prefix, int condition, const char* suffix)
{
    return QByteArray(prefix) + kSubjects[condition % 9] + suffix + (condition < 9 ? "Ch1" : "Ch2");
}

} // namespace

TfmOSC_Buzzer::TfmOSC_Buzzer(SoundPlayer& player, DialogFolders& folders, QWidget* parent)
    : QDialog(parent), player_(player), folders_(folders)
{
    setObjectName("fmOSC_Buzzer");
    setWindowTitle("Звуки");
    setModal(false);
    auto* row = new QHBoxLayout(this);
    row->addWidget(buildChannelGroup(0));
    row->addWidget(buildChannelGroup(1));
}

QWidget* TfmOSC_Buzzer::buildChannelGroup(int channel)
{
    auto* group = new QGroupBox(channel == 0 ? "Звуки для канала A" : "Звуки для канала B", this);
    auto* grid = new QGridLayout(group);
    for (int k = 0; k < 9; ++k) {
        const int i = channel * 9 + k;
        grid->addWidget(new QLabel(kCaptions[k], group), k, 0);
        auto* field = new QLineEdit(QString(DefaultThresholdTexts()[k]).replace(',', QChar(decimalSeparator())), group);
        field->setObjectName(Name("ed", i, ""));
        // Thresholds in volts with decimals, frequencies up to five digits.
        FitFieldTo(field, "00000" + QString(QChar(decimalSeparator())) + "00");
        field->setMaximumWidth(std::max(70, field->minimumWidth()));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, [this] { thresholdsEdited_ = true; });
        grid->addWidget(field, k, 1);
        grid->addWidget(new QLabel(k < 6 ? "В" : "Гц", group), k, 2);
        auto* list = new QComboBox(group);
        list->setObjectName(Name("cb", i, "Sound"));
        list->setEditable(true);
        for (const char* item : SoundListItems())
            list->addItem(item);
        list->setMinimumWidth(150);
        grid->addWidget(list, k, 3);
        auto* open = new QToolButton(group);
        open->setObjectName(Name("spbt", i, "Open"));
        open->setText("...");
        open->setToolTip("Открыть звуковой файл (только не сжатый *.wav)");
        auto* play = new QToolButton(group);
        play->setObjectName(Name("spbt", i, "Play"));
        play->setText("►");
        play->setToolTip("Прослушать выбранный звук");
        grid->addWidget(open, k, 4);
        grid->addWidget(play, k, 5);
        connect(open, &QToolButton::clicked, this, [this, i] { openClick(i); });
        connect(play, &QToolButton::clicked, this, [this, list] { PlaySound(list); });
        thresholdFields[i] = field;
        soundLists[i] = list;
        openButtons[i] = open;
        playButtons[i] = play;
    }
    auto* none = new QToolButton(group);
    none->setObjectName(channel == 0 ? "spbtNoSoundCh1" : "spbtNoSoundCh2");
    none->setText("Нет звуков");
    grid->addWidget(none, 9, 0, 1, 6);
    (channel == 0 ? spbtNoSoundCh1 : spbtNoSoundCh2) = none;
    connect(none, &QToolButton::clicked, this,
            channel == 0 ? &TfmOSC_Buzzer::spbtNoSoundCh1Click : &TfmOSC_Buzzer::spbtNoSoundCh2Click);
    return group;
}

char TfmOSC_Buzzer::decimalSeparator() const
{
    return QLocale().decimalPoint().at(0).toLatin1();
}

void TfmOSC_Buzzer::CheckSounds(const std::array<std::optional<SignalParams>, 2>& params,
                                std::array<double, 2> rangeVolts)
{
    if (thresholdsEdited_) {
        for (int i = 0; i < kSoundConditionCount; ++i)
            conditions_.setThreshold(i, ParseThreshold(thresholdFields[i]->text().toStdString(), decimalSeparator()));
        thresholdsEdited_ = false;
    }
    for (int i : conditions_.check(params, rangeVolts))
        PlaySound(soundLists[i]);
}

void TfmOSC_Buzzer::PlaySound(QComboBox* list)
{
    const int item = list->currentIndex();
    // A file chosen with the open button is the list's text, with no item selected.
    if (item < 0 || list->currentText() != list->itemText(item)) {
        if (!list->currentText().isEmpty())
            player_.playFile(list->currentText());
        return;
    }
    if (const auto tone = ToneForItem(item))
        player_.playTone(tone->frequency, tone->beeps);
}

void TfmOSC_Buzzer::openClick(int condition)
{
    if (auto path = AskOpenPath(this, folders_, kSoundFiles)) {
        soundLists[condition]->setCurrentIndex(-1);
        soundLists[condition]->setEditText(*path);
    }
}

void TfmOSC_Buzzer::spbtNoSoundCh1Click()
{
    for (int i = 0; i < 9; ++i)
        soundLists[i]->setCurrentIndex(0);
}

void TfmOSC_Buzzer::spbtNoSoundCh2Click()
{
    for (int i = 9; i < 18; ++i)
        soundLists[i]->setCurrentIndex(0);
}

bool TfmOSC_Buzzer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        for (int i = 0; i < kSoundConditionCount; ++i) {
            if (watched != thresholdFields[i])
                continue;
            // Frequencies: digits only; voltages also one minus and one decimal separator.
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (text.isEmpty() || text.at(0).category() == QChar::Other_Control || text.at(0).isDigit())
                return false;
            if (i % 9 >= 6)
                return true;
            const QChar c = text.at(0);
            const QString current = thresholdFields[i]->text();
            if ((c == '-' || c == QChar(decimalSeparator())) && !current.contains(c))
                return false;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace tesmar
