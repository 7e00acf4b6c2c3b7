#pragma once
// What the four decoder windows share: the page and data they work on, channel lists with the
// keyword auto-pick, a top-most window that is shown without taking the focus, messages as boxes
// and the result grid.

#include "decoders/DecoderMessage.h"
#include "decoders/DecoderTable.h"
#include "decoders/GeneratorTarget.h"

#include <QWidget>

#include <functional>
#include <initializer_list>
#include <vector>

class QComboBox;
class QPushButton;
class QTableWidget;

namespace tesmar {

class LanPage;
class MessageTable;
class UserMessages;

struct DecoderContext {
    LanPage& page;
    GeneratorData& generator;
    const MessageTable& table;
    UserMessages& messages;
    // Opens the terminal (on the page of the named interface when it has one); false while it cannot open
    // (a measurement runs).
    std::function<bool(const QString& interfaceName)> openTerminal;
};

class DecoderWindow : public QWidget {
    Q_OBJECT
  public:
    DecoderWindow(const DecoderContext& context, const QString& caption, QWidget* parent);

    // Refills every channel list with the page's names, each keeping its index.
    void refreshChannelLists();
    // Shows and raises the window; the first time it is sized to show every column of its grid
    // and placed over the middle of the window that owns it, inside the screen.
    void showFitted();

    QPushButton* sbHard = nullptr;

  public slots:
    // Closes the window and opens the terminal on the page of this window's interface.
    void sbHardClick();

  protected:
    // A list of the 16 channel names; `keyword` picks the first matching name when shown, until
    // the user chooses a line.
    QComboBox* addChannelList(const char* objectName, const char* keyword);
    // A result grid with `headers` (column 0 the row number) and the default row count; the
    // headers are asked again when a language is applied.
    QTableWidget* makeGrid(std::function<std::vector<std::string>()> headers);
    // A push button under its control name with its hint.
    QPushButton* addButton(const char* objectName, const QString& caption, const QString& hint);
    // The window's layout: the settings group, a row of buttons and `sbHard`, the grid below.
    void layOut(QWidget* settings, std::initializer_list<QPushButton*> buttons, QTableWidget* grid);
    // Rows 1 … of `table` into the grid; row count max(65, rows + 1) with the header, numbered.
    // With `keepTyped` the columns of keepTypedBytes keep what they hold.
    void fillGrid(QTableWidget* grid, const DecoderTable& table, bool keepTyped = false);
    // Columns `binColumn` and `binColumn` + 1 of the grid hold bytes typed for encoding on the
    // line `lineName` ("TxD", "MOSI"): once the user has typed there, a decode asks before it
    // replaces them.
    void keepTypedBytes(int binColumn, const QString& lineName);
    // Whether a decode may write those columns: yes when they hold nothing typed, else the
    // user's answer.
    bool mayReplaceTyped();
    // Rows of the grid, the header included.
    static void setGridRows(QTableWidget* grid, int rows);
    static QString cellText(const QTableWidget* grid, int row, int column); // row 1 = first data row
    static void setCellText(QTableWidget* grid, int row, int column, const QString& text);

    QString text(const DecoderMessage& message) const;
    void showError(const DecoderMessage& message) const;
    void showErrors(const std::vector<DecoderMessage>& messages) const;
    GeneratorTarget generatorTarget() const;
    int channelOf(const QComboBox* list) const;

    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

    DecoderContext ctx_;

  private:
    struct ChannelList {
        QComboBox* list;
        QString keyword;
        bool chosen = false;
    };
    std::vector<ChannelList> lists_;
    bool fitted_ = false;
    int typedColumn_ = -1; // the BIN column of the typed bytes, -1 for none
    QString typedLine_;
    bool typed_ = false;   // the user typed there since the last decode filled them
    bool filling_ = false; // the window itself writes the grid
    void fitToGrid();
    QString interfaceName_; // the caption it was made with, whatever a language file makes of it
    QTableWidget* grid_ = nullptr;
    std::function<std::vector<std::string>()> gridHeaders_;
    void showGridHeaders();
};

} // namespace tesmar
