#pragma once
// The About window `fmAbout`: the program's name, version and build, and what is known of the
// instrument in use.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tesmar {

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* parent = nullptr);

    // Lines about the instrument (connection, firmware, calibration), refreshed before showing.
    void setInstrumentText(const QString& text);

    QLabel* imLogo = nullptr;
    QLabel* lbName = nullptr;
    QLabel* lbVersion = nullptr;
    QLabel* lbBuild = nullptr;
    QLabel* lbRights = nullptr;
    QLabel* lbInstrument = nullptr;
    QPushButton* btOK = nullptr;
};

// "Tesmar 2.0", from the build.
QString ProgramVersionText();
// Compiler, Qt and build date.
QString ProgramBuildText();

} // namespace tesmar
