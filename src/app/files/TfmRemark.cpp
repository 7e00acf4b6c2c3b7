#include "text/MessageFormat.h"
#include "text/MessageTable.h"
#include "TfmRemark.h"

#include "app/FileDialogs.h"
#include "app/UserMessages.h"
#include "formats/DataFile.h"
#include "formats/DataFileLoad.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <variant>

namespace tesmar {

namespace {
const FileDialogKind& kOpenRemark = FileDialog("odOpenRem");
const FileDialogKind& kSaveRemark = FileDialog("sdSaveRem");
} // namespace

TfmRemark::TfmRemark(DialogFolders& folders, const MessageTable& table, UserMessages& messages, QWidget* parent)
    : QWidget(parent, Qt::Window), folders_(folders), table_(table), messages_(messages)
{
    setObjectName("fmRemark");
    setWindowTitle("Комментарий");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* bar = new QHBoxLayout;
    auto button = [this, bar](const char* name, QStyle::StandardPixmap icon, const char* hint) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(hint);
        bar->addWidget(b);
        return b;
    };
    spbtNew = button("spbtNew", QStyle::SP_FileIcon, "Очистить текущий комментарий");
    spbtOpen = button("spbtOpen", QStyle::SP_DialogOpenButton, "Открыть текущий комментарий из текстового файла");
    spbtSave = button("spbtSave", QStyle::SP_DialogSaveButton, "Сохранить текущий комментарий в текстовом файле");
    bar->addStretch(1);
    layout->addLayout(bar);

    pgcntrRem = new QTabWidget(this);
    pgcntrRem->setObjectName("pgcntrRem");
    pgcntrRem->tabBar()->setExpanding(false);
    pgcntrRem->setUsesScrollButtons(false); // every tab in view
    const char* const pageNames[kPages] = {"tsOsc", "tsFFT", "tsRec", "tsLAN"};
    const char* const editorNames[kPages] = {"mmOsc", "mmFFT", "mmRec", "mmLAN"};
    const char* const captions[kPages] = {"Осциллограф", "Спектр анализатор", "Самописец", "Логический анализатор"};
    for (int page = 0; page < kPages; ++page) {
        auto* edit = new QPlainTextEdit(pgcntrRem);
        edit->setObjectName(editorNames[page]);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap); // both scroll bars, lines as typed
        edit->setProperty("pageName", pageNames[page]);
        pgcntrRem->addTab(edit, captions[page]);
        editors_[page] = edit;
    }
    mmOsc = editors_[0];
    mmFFT = editors_[1];
    mmRec = editors_[2];
    mmLAN = editors_[3];
    layout->addWidget(pgcntrRem, 1);
    // At least 420 x 200 (design size 495 x 241), and never narrower than the row of the four
    // tabs (a tab bar does not wrap).
    setMinimumSize(QSize(420, 200).expandedTo(layout->totalMinimumSize()));
    resize(QSize(495, 241).expandedTo(minimumSize()));

    connect(spbtNew, &QToolButton::clicked, this, &TfmRemark::spbtNewClick);
    connect(spbtOpen, &QToolButton::clicked, this, &TfmRemark::spbtOpenClick);
    connect(spbtSave, &QToolButton::clicked, this, &TfmRemark::spbtSaveClick);
}

std::vector<std::string> TfmRemark::remark(int page) const
{
    std::vector<std::string> lines;
    if (page < 0 || page >= kPages)
        return lines;
    const QString text = editor(page)->toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split('\n'))
        lines.push_back(line.toStdString());
    return lines;
}

void TfmRemark::setRemark(int page, const std::vector<std::string>& lines)
{
    if (page < 0 || page >= kPages)
        return;
    QStringList text;
    for (const std::string& line : lines)
        text.append(QString::fromStdString(line));
    editor(page)->setPlainText(text.join('\n'));
}

void TfmRemark::showForPage(int page)
{
    if (page >= 0 && page < kPages && pgcntrRem->isTabVisible(page))
        pgcntrRem->setCurrentIndex(page);
    else
        pgcntrRem->setCurrentIndex(kPages - 1);
    show();
    raise();
    activateWindow();
}

void TfmRemark::setAnalogueVisible(bool visible)
{
    for (int page = 0; page < kPages - 1; ++page)
        pgcntrRem->setTabVisible(page, visible);
    if (!visible)
        pgcntrRem->setCurrentIndex(kPages - 1);
}

QPlainTextEdit* TfmRemark::currentEditor() const
{
    return editors_[std::max(0, pgcntrRem->currentIndex())];
}

void TfmRemark::spbtNewClick()
{
    currentEditor()->clear();
}

QString TfmRemark::openRemark(const QString& path)
{
    const auto bytes = ReadFileBytes(path.toStdString());
    if (std::holds_alternative<std::string>(bytes)) {
        const QString text = QString::fromStdString(FormatMessage(table_.text(Msg::strReadFileError), {path.toStdString()}));
        messages_.error(text);
        return text;
    }
    setRemark(pgcntrRem->currentIndex(), DecodeRemark(std::get<std::vector<std::uint8_t>>(bytes)));
    return {};
}

QString TfmRemark::saveRemark(const QString& path)
{
    const std::vector<std::uint8_t> bytes = EncodeRemark(remark(pgcntrRem->currentIndex()));
    if (!WriteWholeFile(path.toStdString(), bytes.data(), bytes.size())) {
        const QString text = QString::fromStdString(FormatMessage(table_.text(Msg::strWriteFileError), {path.toStdString()}));
        messages_.error(text);
        return text;
    }
    return {};
}

void TfmRemark::spbtOpenClick()
{
    if (const auto path = AskOpenPath(this, folders_, kOpenRemark))
        openRemark(*path);
}

void TfmRemark::spbtSaveClick()
{
    if (const auto path = AskSavePath(this, folders_, kSaveRemark, messages_, table_))
        saveRemark(*path);
}

} // namespace tesmar
