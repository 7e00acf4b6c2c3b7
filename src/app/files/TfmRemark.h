#pragma once
// The remark window `fmRemark`: one free text per instrument page, written by the user about the
// measured signal. The texts travel with the data files; the window can also load a remark from a
// text file and save it to one.

#include <QWidget>

#include <array>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTabWidget;
class QToolButton;

namespace tesmar {

class DialogFolders;
class MessageTable;
class UserMessages;

class TfmRemark : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPages = 4; // oscilloscope, spectrum analyser, recorder, logic analyser

    TfmRemark(DialogFolders& folders, const MessageTable& table, UserMessages& messages, QWidget* parent = nullptr);

    // A page's remark as lines (UTF-8, without line ends), and its replacement.
    std::vector<std::string> remark(int page) const;
    void setRemark(int page, const std::vector<std::string>& lines);
    // Shows the window on the page of the main window's active page, without blocking it.
    void showForPage(int page);
    // The instrument without analogue channels has only the logic analyser's remark.
    void setAnalogueVisible(bool visible);

    // The work behind the buttons, without their dialogs: an empty string on success, else the
    // message that was shown.
    QString openRemark(const QString& path);
    QString saveRemark(const QString& path);

    QTabWidget* pgcntrRem = nullptr;
    QPlainTextEdit* mmOsc = nullptr;
    QPlainTextEdit* mmFFT = nullptr;
    QPlainTextEdit* mmRec = nullptr;
    QPlainTextEdit* mmLAN = nullptr;
    QToolButton* spbtNew = nullptr;
    QToolButton* spbtOpen = nullptr;
    QToolButton* spbtSave = nullptr;

public slots:
    void spbtNewClick();
    void spbtOpenClick();
    void spbtSaveClick();

private:
    QPlainTextEdit* editor(int page) const { return editors_[page]; }
    QPlainTextEdit* currentEditor() const;

    DialogFolders& folders_;
    const MessageTable& table_;
    UserMessages& messages_;
    std::array<QPlainTextEdit*, kPages> editors_{};
};

} // namespace tesmar
