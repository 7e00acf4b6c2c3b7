#include "app/options/TfmOptions.h"

#include "app/UserMessages.h"
#include "app/options/OptionLists.h"
#include "text/MessageTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tesmar {

namespace {

const char* const kStreamGroup = "Потоковое чтении данных ";
const char* const kBufferGroup = "Чтение данных через буфер";
const char* const kViewIconCaption = "Вывести информацию о режиме чтения (буфер/поток)";
const char* const kPreTrigger = "Пре триггер";
const char* const kMemoryDepth = "Глубина памяти";
const char* const kDisableAverage = "Запрет усреднение";
const char* const kAvtoOnFlt = "Авто включение фильтра";
const char* const kPeriodBoundaryHint =
    "Задайте граничное значение периода дискретизации меньше, которого будет чтение через буфер";
const char* const kRateBoundaryHint =
    "Задайте граничное значение частоты дискретизации больше, которой будет чтение через буфер";
const char* const kLineHint =
    "Вкл/выкл отображение данных по каналу шины A (выкл. значительно экономит оперативную память)";

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, const char* hint = nullptr) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    if (hint)
        box->setToolTip(QString::fromUtf8(hint));
    return box;
}

QComboBox* MakeList(QWidget* parent, const char* name, const QStringList& items, const char* hint = nullptr) {
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setEditable(false);
    list->setMaxVisibleItems(10);
    list->addItems(items);
    if (hint)
        list->setToolTip(QString::fromUtf8(hint));
    return list;
}

QStringList Texts(std::span<const OptionListItem> items) {
    QStringList texts;
    for (const OptionListItem& item : items)
        texts << QString::fromUtf8(item.text);
    return texts;
}

QStringList Texts(std::span<const char* const> items) {
    QStringList texts;
    for (const char* item : items)
        texts << QString::fromUtf8(item);
    return texts;
}

QStringList StreamDepthTexts() {
    QStringList texts;
    for (int depth : StreamDepthList())
        texts << QString::number(depth);
    return texts;
}

// A number field the user changes only by its arrows: the spin box's own edit is read-only
// and carries the edit's name.
QSpinBox* MakeUpDown(QWidget* parent, const char* name, const char* editName, int lowest, int highest,
                     int step, QLineEdit*& edit) {
    auto* upDown = new QSpinBox(parent);
    upDown->setObjectName(name);
    upDown->setRange(lowest, highest);
    upDown->setSingleStep(step);
    edit = upDown->findChild<QLineEdit*>();
    edit->setObjectName(editName);
    edit->setReadOnly(true);
    return upDown;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

// A labelled row of a group: label on the left, the control and an optional unit on the right.
void AddRow(QGridLayout* grid, QWidget* control, const char* caption, const char* unit = nullptr) {
    const int row = grid->rowCount();
    QWidget* parent = control->parentWidget();
    const QString base = control->objectName().mid(2);
    grid->addWidget(MakeLabel(parent, "lb" + base, QString::fromUtf8(caption)), row, 0);
    grid->addWidget(control, row, 1);
    if (unit)
        grid->addWidget(MakeLabel(parent, "lb" + base + "Unit", QString::fromUtf8(unit)), row, 2);
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const char* caption) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), parent);
    group->setObjectName(name);
    return group;
}

void SelectStreamDepth(QComboBox* list, int depth) {
    list->setCurrentIndex(list->findText(QString::number(depth)));
}

void SelectItem(QComboBox* list, int index) {
    list->setCurrentIndex(ClampListIndex(index, list->count()));
}

// The depth OK stores: the one shown, or for a list without a selection (a number from the file
// that the list does not hold) the nearest list value, so only list values reach the option.
int ChosenStreamDepth(const QComboBox* list, int stored) {
    if (list->currentIndex() < 0)
        return StreamDepthInList(stored);
    return list->currentText().toInt();
}

} // namespace

TfmOptions::TfmOptions(OptionVariables& options, const MessageTable& messages, UserMessages& boxes,
                       QWidget* parent)
    : QDialog(parent), options_(options), messages_(messages), boxes_(boxes) {
    setObjectName("fmOptions");
    setWindowTitle("Параметры");

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    pgcntrOptions = new QTabWidget(this);
    pgcntrOptions->setObjectName("pgcntrOptions");
    tsOsc = buildOscPage();
    tsFFT = buildFftPage();
    tsRec = buildRecPage();
    tsLAN = buildLanPage();
    pgcntrOptions->addTab(tsOsc, "Осциллограф");
    pgcntrOptions->addTab(tsFFT, "Спектр анализатор");
    pgcntrOptions->addTab(tsRec, "Самописец");
    pgcntrOptions->addTab(tsLAN, "Логический анализатор");
    layout->addWidget(pgcntrOptions);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btOK = new QPushButton("OK", this);
    btOK->setObjectName("btOK");
    btOK->setToolTip("Сохранить все внесенные изменения и закрыть окно");
    btOK->setDefault(true);
    btCancel = new QPushButton("Отмена", this);
    btCancel->setObjectName("btCancel");
    btCancel->setToolTip("Отменить все внесенные изменения и закрыть окно");
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    layout->addLayout(buttons);

    connect(btOK, &QPushButton::clicked, this, [this] {
        spOKClick();
        accept();
    });
    // Escape and the close box reach done() through reject() as well, unanswered.
    connect(btCancel, &QPushButton::clicked, this, [this] {
        spCancelClick();
        reject();
    });

    load(options_);
}

QWidget* TfmOptions::buildOscPage() {
    auto* page = new QWidget(pgcntrOptions);
    page->setObjectName("tsOsc");
    auto* column = new QVBoxLayout(page);

    auto snapGroup = [page](const char* name, const char* caption, QRadioButton*& screen,
                            QRadioButton*& signal, const char* screenName, const char* signalName) {
        QGroupBox* group = MakeGroup(page, name, caption);
        auto* row = new QHBoxLayout(group);
        screen = new QRadioButton("Привязка к экрану", group);
        screen->setObjectName(screenName);
        signal = new QRadioButton("Привязка к сигналу", group);
        signal->setObjectName(signalName);
        row->addWidget(screen);
        row->addWidget(signal);
        return group;
    };
    auto* snaps = new QHBoxLayout;
    snaps->addWidget(snapGroup("grboxOscSnapA", "Привязка маркера A", rbOscSnapAScreen, rbOscSnapASignal,
                               "rbOscSnapAScreen", "rbOscSnapASignal"));
    snaps->addWidget(snapGroup("grboxOscSnapB", "Привязка маркера B", rbOscSnapBScreen, rbOscSnapBSignal,
                               "rbOscSnapBScreen", "rbOscSnapBSignal"));
    column->addLayout(snaps);

    cbOscViewIcon = MakeCheck(page, "cbOscViewIcon", kViewIconCaption);
    column->addWidget(cbOscViewIcon);

    auto* modes = new QHBoxLayout;
    QGroupBox* buffer = MakeGroup(page, "grboxOscBuf", kBufferGroup);
    auto* bufferGrid = new QGridLayout(buffer);
    cbOscTdBufIndex = MakeList(buffer, "cbOscTdBufIndex", Texts(OscBufferPeriodList()), kPeriodBoundaryHint);
    AddRow(bufferGrid, cbOscTdBufIndex, "Tд грн. буфера");
    udOscBufPreTrigger =
        MakeUpDown(buffer, "udOscBufPreTrigger", "edOscBufPreTrigger", 8, 200, 4, edOscBufPreTrigger);
    AddRow(bufferGrid, udOscBufPreTrigger, kPreTrigger);
    cbOscForceSmallBuf = MakeCheck(
        buffer, "cbOscForceSmallBuf", "Буфер на 1024/512",
        "Принудительное уменьшение буфера с 1126/563 до 1024/512 (подробности(смысл) смотрите в справке)");
    bufferGrid->addWidget(cbOscForceSmallBuf, bufferGrid->rowCount(), 0, 1, 3);
    modes->addWidget(buffer);

    QGroupBox* stream = MakeGroup(page, "grboxOscPipe", kStreamGroup);
    auto* streamGrid = new QGridLayout(stream);
    cbOscPipeSize = MakeList(stream, "cbOscPipeSize", StreamDepthTexts());
    AddRow(streamGrid, cbOscPipeSize, kMemoryDepth);
    udOscPipePreTrigger =
        MakeUpDown(stream, "udOscPipePreTrigger", "edOscPipePreTrigger", 10, 1000, 10, edOscPipePreTrigger);
    AddRow(streamGrid, udOscPipePreTrigger, kPreTrigger);
    cbOscDisableAverage = MakeCheck(stream, "cbOscDisableAverage", kDisableAverage);
    streamGrid->addWidget(cbOscDisableAverage, streamGrid->rowCount(), 0, 1, 3);
    modes->addWidget(stream);
    column->addLayout(modes);

    cbOscAvtoOnFlt = MakeCheck(page, "cbOscAvtoOnFlt", kAvtoOnFlt);
    cbOscAvtoOnTrigger = MakeCheck(page, "cbOscAvtoOnTrigger", "Авто включение синхронизации");
    column->addWidget(cbOscAvtoOnFlt);
    column->addWidget(cbOscAvtoOnTrigger);
    column->addStretch(1);
    return page;
}

QWidget* TfmOptions::buildFftPage() {
    auto* page = new QWidget(pgcntrOptions);
    page->setObjectName("tsFFT");
    auto* column = new QVBoxLayout(page);

    QGroupBox* distortion = MakeGroup(page, "grboxFFTKNI", "Коэффициент нелинейных искажений (гармоник)");
    auto* distortionGrid = new QGridLayout(distortion);
    auto* formula = new QLabel(QString::fromUtf8("Kг = √(U₂² + U₃² + … + Uₙ²) / U₁"), distortion);
    formula->setObjectName("imgFFTKNI");
    distortionGrid->addWidget(formula, 0, 0, 1, 3);
    udFFTCountKNIHam =
        MakeUpDown(distortion, "udFFTCountKNIHam", "edFFTCountKNIHam", 2, 10, 1, edFFTCountKNIHam);
    AddRow(distortionGrid, udFFTCountKNIHam, "Количество гармоник в сумме");
    column->addWidget(distortion);

    cbFFTAvtoOnFlt = MakeCheck(page, "cbFFTAvtoOnFlt", kAvtoOnFlt);
    cbFFTViewIcon = MakeCheck(page, "cbFFTViewIcon", kViewIconCaption);
    column->addWidget(cbFFTAvtoOnFlt);
    column->addWidget(cbFFTViewIcon);

    auto* modes = new QHBoxLayout;
    QGroupBox* buffer = MakeGroup(page, "grboxFFTBuf", kBufferGroup);
    auto* bufferGrid = new QGridLayout(buffer);
    cbFFTFdBufIndex = MakeList(buffer, "cbFFTFdBufIndex", Texts(FftBufferRateList()), kRateBoundaryHint);
    AddRow(bufferGrid, cbFFTFdBufIndex, "Fд грн. буфера");
    modes->addWidget(buffer);

    QGroupBox* stream = MakeGroup(page, "grboxFFTPipe", kStreamGroup);
    auto* streamGrid = new QGridLayout(stream);
    cbFFTPipeSize = MakeList(stream, "cbFFTPipeSize", StreamDepthTexts());
    AddRow(streamGrid, cbFFTPipeSize, kMemoryDepth);
    cbFFTDisableAverage = MakeCheck(stream, "cbFFTDisableAverage", kDisableAverage);
    streamGrid->addWidget(cbFFTDisableAverage, streamGrid->rowCount(), 0, 1, 3);
    modes->addWidget(stream);
    column->addLayout(modes);
    column->addStretch(1);
    return page;
}

QWidget* TfmOptions::buildRecPage() {
    auto* page = new QWidget(pgcntrOptions);
    page->setObjectName("tsRec");
    auto* column = new QVBoxLayout(page);

    QGroupBox* limits = MakeGroup(page, "grboxRecBuf", kBufferGroup);
    auto* grid = new QGridLayout(limits);
    const QStringList periods = Texts(RecPeriodList());
    cbRecIndexDisable = MakeList(
        limits, "cbRecIndexDisable", periods,
        "Задайте граничное значение периода дискретизации меньше, которого запись сигнала будет запрещена");
    AddRow(grid, cbRecIndexDisable, "Tд мин рабочее");
    cbRecIndexHide = MakeList(limits, "cbRecIndexHide", periods,
                              "Задайте граничное значение периода дискретизации меньше, которого не будет "
                              "отображения сигнала в процессе записи");
    AddRow(grid, cbRecIndexHide, "Tд мин отображения");
    column->addWidget(limits);

    cbRecScaleByTd = MakeCheck(page, "cbRecScaleByTd", "Масштабирование разверткой");
    cbRecAskMarkerColor = MakeCheck(page, "cbRecAskMarkerColor", "Запрос цвета при добавлении маркера");
    cbRecAskMarkerComent =
        MakeCheck(page, "cbRecAskMarkerComent", "Запрос комментария при добавлении маркера");
    cbRecDisableAverage = MakeCheck(page, "cbRecDisableAverage", "Запрет усреднение (Тд<10мс)");
    cbRecFastCalc = MakeCheck(page, "cbRecFastCalc", "Ускоренная прорисовка результатов измерения ");
    cbRecDrawNoAllPoints =
        MakeCheck(page, "cbRecDrawNoAllPoints", "Не отображать промежуточные (сливающиеся) точки ");
    cbRecHideTime =
        MakeCheck(page, "cbRecHideTime", "Не отображать суммарное время записи в процессе записи");
    cbRecDynamicMem =
        MakeCheck(page, "cbRecDynamicMem", "Динамическое выделение памяти (по мере необходимости)");
    cbRecTimeInUs = MakeCheck(page, "cbRecTimeInUs", "Время в мкс");
    for (QCheckBox* box :
         {cbRecScaleByTd, cbRecAskMarkerColor, cbRecAskMarkerComent, cbRecDisableAverage, cbRecFastCalc,
          cbRecDrawNoAllPoints, cbRecHideTime, cbRecDynamicMem, cbRecTimeInUs})
        column->addWidget(box);
    column->addStretch(1);
    return page;
}

QWidget* TfmOptions::buildLanPage() {
    auto* page = new QWidget(pgcntrOptions);
    page->setObjectName("tsLAN");
    auto* column = new QVBoxLayout(page);

    auto* modes = new QHBoxLayout;
    QGroupBox* buffer = MakeGroup(page, "grboxLANBuf", kBufferGroup);
    auto* bufferGrid = new QGridLayout(buffer);
    cbLANFdBufIndex = MakeList(buffer, "cbLANFdBufIndex", Texts(LanBufferRateList()), kRateBoundaryHint);
    AddRow(bufferGrid, cbLANFdBufIndex, "Fд грн. буфера");
    udLANBufPreTrigger =
        MakeUpDown(buffer, "udLANBufPreTrigger", "edLANBufPreTrigger", 8, 120, 8, edLANBufPreTrigger);
    AddRow(bufferGrid, udLANBufPreTrigger, kPreTrigger);
    bufferGrid->setRowStretch(bufferGrid->rowCount(), 1);
    modes->addWidget(buffer);

    QGroupBox* stream = MakeGroup(page, "grboxLANPipe", kStreamGroup);
    auto* streamGrid = new QGridLayout(stream);
    cbLANPipeSize = MakeList(stream, "cbLANPipeSize", Texts(LanMemorySizeList()));
    AddRow(streamGrid, cbLANPipeSize, kMemoryDepth);
    udLANPipePreTrigger =
        MakeUpDown(stream, "udLANPipePreTrigger", "edLANPipePreTrigger", 1, 99, 1, edLANPipePreTrigger);
    AddRow(streamGrid, udLANPipePreTrigger, kPreTrigger, "%");

    auto* lines = new QGridLayout;
    lines->addWidget(MakeLabel(stream, "lbLANUseCh", "Кн."), 1, 0);
    for (int k = 0; k < 8; ++k) {
        const QString name = QString("cbLANUseCh%1").arg(k);
        lines->addWidget(MakeLabel(stream, "lb" + name.mid(2), QString::number(k)), 0, k + 1,
                         Qt::AlignHCenter);
        cbLANUseCh[k] = MakeCheck(stream, name.toUtf8().constData(), "", kLineHint);
        lines->addWidget(cbLANUseCh[k], 1, k + 1, Qt::AlignHCenter);
    }
    streamGrid->addLayout(lines, streamGrid->rowCount(), 0, 1, 3);
    modes->addWidget(stream);
    column->addLayout(modes);

    auto* clock = new QHBoxLayout;
    cbLANChExtSmpl = MakeList(page, "cbLANChExtSmpl", Texts(LanExternalClockList()));
    clock->addWidget(MakeLabel(page, "lbLANChExtSmpl", "Канал для внешнего тактирования (шина B)"));
    clock->addWidget(cbLANChExtSmpl);
    clock->addStretch(1);
    column->addLayout(clock);

    cbLanBusAInverse =
        MakeCheck(page, "cbLanBusAInverse", "Инверсия шины A (для новых устройств)",
                  "Отмените этот флажок для корректной работы новой оболочки со старыми устройствами");
    cbLanAvtoOnTrigger = MakeCheck(page, "cbLanAvtoOnTrigger", "Авто включение триггера (синхронизации)");
    cbLanPassGroupFind = MakeCheck(page, "cbLanPassGroupFind", "Пропуск группы одинаковых байт при поиске");
    cbLANViewIcon = MakeCheck(page, "cbLANViewIcon", kViewIconCaption);
    for (QCheckBox* box : {cbLanBusAInverse, cbLanAvtoOnTrigger, cbLanPassGroupFind, cbLANViewIcon})
        column->addWidget(box);

    // Without hardware the generator can still be tried: its outputs read back on bus A.
    grboxLANSimulator = MakeGroup(page, "grboxLANSimulator", "Виртуальный прибор");
    auto* simulator = new QVBoxLayout(grboxLANSimulator);
    cbLANSimLoopBack = MakeCheck(grboxLANSimulator, "cbLANSimLoopBack", "Выходы генератора (шина B) соединены с шиной A",
                                 "Шина A читает то, что выдает генератор (только виртуальный прибор)");
    simulator->addWidget(cbLANSimLoopBack);
    grboxLANSimulator->setVisible(false);
    column->addWidget(grboxLANSimulator);
    column->addStretch(1);
    return page;
}

void TfmOptions::load(const OptionVariables& values) {
    (values.f_snap_trigger_level_ch1 ? rbOscSnapASignal : rbOscSnapAScreen)->setChecked(true);
    (values.f_snap_trigger_level_ch2 ? rbOscSnapBSignal : rbOscSnapBScreen)->setChecked(true);
    cbOscViewIcon->setChecked(values.pnOscViewReadTypeVisible);
    SelectItem(cbOscTdBufIndex, values.count_osc_index_buf);
    udOscBufPreTrigger->setValue(values.count_osc_pass_sample_buf);
    cbOscForceSmallBuf->setChecked(values.osc_force_small_buf);
    SelectStreamDepth(cbOscPipeSize, values.count_osc_sample_pipe);
    udOscPipePreTrigger->setValue(values.count_osc_pass_sample_pipe);
    cbOscDisableAverage->setChecked(values.osc_disable_average);
    cbOscAvtoOnFlt->setChecked(values.osc_avto_on_flt);
    cbOscAvtoOnTrigger->setChecked(values.osc_avto_on_trigger);

    udFFTCountKNIHam->setValue(values.fft_count_kni_ham);
    cbFFTAvtoOnFlt->setChecked(values.fft_avto_on_flt);
    cbFFTViewIcon->setChecked(values.pnFFTViewReadTypeVisible);
    SelectItem(cbFFTFdBufIndex, values.count_fft_index_buf);
    SelectStreamDepth(cbFFTPipeSize, values.count_fft_sample_pipe);
    cbFFTDisableAverage->setChecked(values.fft_disable_average);

    SelectItem(cbRecIndexDisable, values.count_rec_index_disable);
    SelectItem(cbRecIndexHide, values.count_rec_index_hide);
    cbRecScaleByTd->setChecked(values.rec_scale_by_Td);
    cbRecAskMarkerColor->setChecked(values.rec_ask_marker_color);
    cbRecAskMarkerComent->setChecked(values.rec_ask_marker_coment);
    cbRecDisableAverage->setChecked(values.rec_disable_average);
    cbRecFastCalc->setChecked(values.rec_fast_calc);
    cbRecDrawNoAllPoints->setChecked(values.rec_draw_no_all_points);
    cbRecHideTime->setChecked(values.rec_hide_time);
    cbRecDynamicMem->setChecked(values.rec_dynamic_mem);
    cbRecTimeInUs->setChecked(values.rec_time_in_us);

    SelectItem(cbLANFdBufIndex, values.lan_index_buf);
    udLANBufPreTrigger->setValue(values.lan_pre_trg_buf);
    SelectItem(cbLANPipeSize, values.lan_mem_size_index);
    udLANPipePreTrigger->setValue(values.lan_pre_trg_pipe_pr);
    for (int k = 0; k < 8; ++k)
        cbLANUseCh[k]->setChecked((values.lan_use_ch_mask >> k) & 1);
    SelectItem(cbLANChExtSmpl, values.lan_ch_ext_smpl);
    cbLanBusAInverse->setChecked(values.LanBusAInverse);
    cbLanAvtoOnTrigger->setChecked(values.lan_avto_on_trigger);
    cbLanPassGroupFind->setChecked(values.f_lan_pass_group_find);
    cbLANViewIcon->setChecked(values.pnLANViewReadTypeVisible);
}

void TfmOptions::spOKClick() {
    answered_ = true;
    if (wireLoopBack_ && cbLANSimLoopBack->isChecked() != loopBack_) {
        loopBack_ = cbLANSimLoopBack->isChecked();
        wireLoopBack_(loopBack_);
    }
    OptionVariables& o = options_;
    o.f_snap_trigger_level_ch1 = rbOscSnapASignal->isChecked();
    o.f_snap_trigger_level_ch2 = rbOscSnapBSignal->isChecked();
    o.pnOscViewReadTypeVisible = cbOscViewIcon->isChecked();
    o.count_osc_index_buf = cbOscTdBufIndex->currentIndex();
    o.count_osc_pass_sample_buf = udOscBufPreTrigger->value();
    o.osc_force_small_buf = cbOscForceSmallBuf->isChecked();
    o.count_osc_sample_pipe = ChosenStreamDepth(cbOscPipeSize, o.count_osc_sample_pipe);
    o.count_osc_pass_sample_pipe = udOscPipePreTrigger->value();
    o.osc_disable_average = cbOscDisableAverage->isChecked();
    o.osc_avto_on_flt = cbOscAvtoOnFlt->isChecked();
    o.osc_avto_on_trigger = cbOscAvtoOnTrigger->isChecked();

    o.fft_count_kni_ham = udFFTCountKNIHam->value();
    o.fft_avto_on_flt = cbFFTAvtoOnFlt->isChecked();
    o.pnFFTViewReadTypeVisible = cbFFTViewIcon->isChecked();
    o.count_fft_index_buf = cbFFTFdBufIndex->currentIndex();
    o.count_fft_sample_pipe = ChosenStreamDepth(cbFFTPipeSize, o.count_fft_sample_pipe);
    o.fft_disable_average = cbFFTDisableAverage->isChecked();

    o.count_rec_index_disable = cbRecIndexDisable->currentIndex();
    o.count_rec_index_hide = cbRecIndexHide->currentIndex();
    o.rec_scale_by_Td = cbRecScaleByTd->isChecked();
    o.rec_ask_marker_color = cbRecAskMarkerColor->isChecked();
    o.rec_ask_marker_coment = cbRecAskMarkerComent->isChecked();
    o.rec_disable_average = cbRecDisableAverage->isChecked();
    o.rec_fast_calc = cbRecFastCalc->isChecked();
    o.rec_draw_no_all_points = cbRecDrawNoAllPoints->isChecked();
    o.rec_hide_time = cbRecHideTime->isChecked();
    o.rec_dynamic_mem = cbRecDynamicMem->isChecked();
    o.rec_time_in_us = cbRecTimeInUs->isChecked();

    o.lan_index_buf = cbLANFdBufIndex->currentIndex();
    o.lan_pre_trg_buf = udLANBufPreTrigger->value();
    o.lan_mem_size_index = cbLANPipeSize->currentIndex();
    o.lan_pre_trg_pipe_pr = udLANPipePreTrigger->value();
    o.lan_ch_ext_smpl = cbLANChExtSmpl->currentIndex();
    o.LanBusAInverse = cbLanBusAInverse->isChecked();
    o.lan_avto_on_trigger = cbLanAvtoOnTrigger->isChecked();
    o.f_lan_pass_group_find = cbLanPassGroupFind->isChecked();
    o.pnLANViewReadTypeVisible = cbLANViewIcon->isChecked();

    std::uint8_t mask = 0;
    for (int k = 0; k < 8; ++k)
        if (cbLANUseCh[k]->isChecked())
            mask |= static_cast<std::uint8_t>(1u << k);
    if (mask == 0) {
        boxes_.warning(QString::fromStdString(messages_.text(Msg::strDisableAllCh)));
        pgcntrOptions->setCurrentWidget(tsLAN);
        return;
    }
    o.lan_use_ch_mask = mask;
}

void TfmOptions::spCancelClick() {
    answered_ = true;
    load(options_);
    cbLANSimLoopBack->setChecked(loopBack_);
}

void TfmOptions::offerGeneratorLoopBack(std::function<void(bool on)> wire) {
    wireLoopBack_ = std::move(wire);
    grboxLANSimulator->setVisible(static_cast<bool>(wireLoopBack_));
}

void TfmOptions::done(int result) {
    if (!answered_)
        spCancelClick();
    answered_ = false;
    if (!anyLineChecked())
        return;
    QDialog::done(result);
}

bool TfmOptions::anyLineChecked() const {
    for (const QCheckBox* box : cbLANUseCh)
        if (box->isChecked())
            return true;
    return false;
}

void TfmOptions::showPage(int page) {
    QWidget* const tabs[] = {tsOsc, tsFFT, tsRec, tsLAN};
    pgcntrOptions->setCurrentWidget(page >= PageOsc && page <= PageRec ? tabs[page] : tsLAN);
}

void TfmOptions::hideAnalogPages() {
    for (int i = PageOsc; i <= PageRec; ++i)
        pgcntrOptions->setTabVisible(i, false);
    pgcntrOptions->setCurrentWidget(tsLAN);
}

} // namespace tesmar
