#include "device/SyncDlg.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "device/DeviceLink.h"
#include "device/ProfileWrite.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"
#include "res/resource.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

QString AlarmText(int hour, int minute, int second)
{
    auto part = [](int v) { return QStringLiteral("0%1").arg(v).right(2); };
    return QStringLiteral("%1:%2:%3").arg(part(hour), part(minute), part(second));
}

int32_t AlarmFromText(const QString& text)
{
    const int v = ReadNumberText(QString(text).remove(QLatin1Char(':')));
    return MakeAlarmTime(v / 10000, (v % 10000) / 100, v % 100);
}

UserRecord SyncedFromPedometer(const UserRecord& record, const PedometerSide& side)
{
    UserRecord r = record;
    r.sex = side.sexIndex == 0 ? 1 : 0;
    r.height = side.height;
    r.stride = SuggestStride(side.height, side.sexIndex);
    r.weight = side.weight;
    r.age = side.age;
    r.targetCalories = side.targetCalories;
    r.alarm = AlarmFromText(side.alarm);
    return r;
}

namespace {

// A row label's words without the padding spaces and the colon, for the fields' accessible names.
QString LabelWords(const QString& label)
{
    QString words = label;
    words.remove(QLatin1Char(' '));
    words.remove(QChar(0xFF1A));  // full-width colon
    words.remove(QLatin1Char(':'));
    return words;
}

QLineEdit* ReadOnlyEdit(QWidget* parent, int id)
{
    auto* e = new QLineEdit(parent);
    SetCtrlId(e, id);
    MakeReadOnly(e);
    e->setMinimumWidth(90);
    return e;
}

QComboBox* SexCombo(QWidget* parent, int id)
{
    auto* c = new QComboBox(parent);
    SetCtrlId(c, id);
    c->addItem(LoadStr(107));
    c->addItem(LoadStr(108));
    c->setEnabled(false);
    return c;
}

void SetNumber(QLineEdit* e, int value)
{
    e->setText(QString::number(value));
}

}  // namespace

CSyncDlg::CSyncDlg(QWidget* parent) : CAccountDlg(parent)
{
    SetCtrlId(this, IDD_SYNC);
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);

    auto* computer = new QLabel(this);
    SetCtrlId(computer, IDC_LABEL_COMPUTER);
    auto* pedometer = new QLabel(this);
    SetCtrlId(pedometer, IDC_LABEL_PEDOMETER);
    grid->addWidget(computer, 0, 1, Qt::AlignHCenter);
    grid->addWidget(pedometer, 0, 2, Qt::AlignHCenter);

    // One row per field: its label, the computer's value, the pedometer's value.
    int row = 1;
    std::vector<std::pair<QLabel*, std::pair<QWidget*, QWidget*>>> rows;
    auto addRow = [&](int labelId, QWidget* pc, QWidget* dev) {
        auto* label = new QLabel(this);
        SetCtrlId(label, labelId);
        grid->addWidget(label, row, 0);
        grid->addWidget(pc, row, 1);
        grid->addWidget(dev, row, 2);
        rows.push_back({label, {pc, dev}});
        ++row;
    };
    // Each field row: its label, and the computer's and the pedometer's box.
    struct EditRow {
        int label, pc, dev;
        QLineEdit* Side::*field;
    };
    const EditRow before[] = {{IDC_LABEL_NUMBER, IDC_PC_NUMBER, IDC_DEV_NUMBER, &Side::number}};
    const EditRow after[] = {
        {IDC_LABEL_AGE, IDC_PC_AGE, IDC_DEV_AGE, &Side::age},
        {IDC_LABEL_WEIGHT, IDC_PC_WEIGHT, IDC_DEV_WEIGHT, &Side::weight},
        {IDC_LABEL_HEIGHT, IDC_PC_HEIGHT, IDC_DEV_HEIGHT, &Side::height},
        {IDC_LABEL_TARGET, IDC_PC_TARGET, IDC_DEV_TARGET, &Side::target},
        {IDC_LABEL_ALARM, IDC_PC_ALARM, IDC_DEV_ALARM, &Side::alarm},
    };
    auto addEdits = [&](const EditRow& r) {
        m_pc.*r.field = ReadOnlyEdit(this, r.pc);
        m_dev.*r.field = ReadOnlyEdit(this, r.dev);
        addRow(r.label, m_pc.*r.field, m_dev.*r.field);
    };
    for (const EditRow& r : before)
        addEdits(r);
    m_pc.sex = SexCombo(this, IDC_PC_SEX);
    m_dev.sex = SexCombo(this, IDC_DEV_SEX);
    addRow(IDC_LABEL_SEX, m_pc.sex, m_dev.sex);
    for (const EditRow& r : after)
        addEdits(r);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    outer->addLayout(grid);

    auto* direction = new QGroupBox(this);
    SetCtrlId(direction, IDC_DIRECTION_GROUP);
    auto* radios = new QHBoxLayout(direction);
    m_toDevice = new QRadioButton(direction);
    SetCtrlId(m_toDevice, IDC_SYNC_TO_DEVICE);
    m_toComputer = new QRadioButton(direction);
    SetCtrlId(m_toComputer, IDC_SYNC_TO_COMPUTER);
    m_toDevice->setChecked(true);
    radios->addWidget(m_toDevice);
    radios->addWidget(m_toComputer);
    radios->addStretch(1);
    outer->addWidget(direction);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_start = new QPushButton(this);
    SetCtrlId(m_start, IDOK);
    m_start->setDefault(true);
    auto* close = new QPushButton(this);
    SetCtrlId(close, IDCANCEL);
    buttons->addWidget(m_start);
    buttons->addWidget(close);
    outer->addLayout(buttons);

    connect(m_start, &QPushButton::clicked, this, &CSyncDlg::accept);
    connect(close, &QPushButton::clicked, this, &CSyncDlg::reject);
    if (CDeviceLink* link = CDeviceLink::Current())
        connect(link, &CDeviceLink::DeviceRemoved, this, &CSyncDlg::OnDeviceRemoved);

    ApplyDialogTexts(this, IDD_SYNC);
    for (const auto& [label, fields] : rows) {
        const QString words = LabelWords(label->text());
        fields.first->setAccessibleName(computer->text() + QLatin1Char(' ') + words);
        fields.second->setAccessibleName(pedometer->text() + QLatin1Char(' ') + words);
    }
}

void CSyncDlg::InitControls()
{
    if (!m_pRecord)
        return;
    ShowComputerSide(*m_pRecord);
    PedometerSide side;
    int32_t sex = 0, height = 0, weight = 0, age = 0, kcal = 0, hour = 0, minute = 0, second = 0;
    USB_GetSHW(sex, height, weight, age, 1);
    USB_GetDayTargetCalorie(kcal);
    USB_GetAlarmClock(hour, minute, second);
    side.sexIndex = sex == 1 ? 0 : 1;
    side.height = height;
    side.weight = weight;
    side.age = age;
    side.targetCalories = kcal;
    side.alarm = AlarmText(hour, minute, second);
    ShowPedometerSide(side);
    SetNumber(m_dev.number, m_pRecord->number);  // both sides show the computer's number
}

void CSyncDlg::ShowComputerSide(const UserRecord& r)
{
    m_pc.sex->setCurrentIndex(r.sex == 1 ? 0 : 1);
    SetNumber(m_pc.number, r.number);
    SetNumber(m_pc.height, r.height);
    SetNumber(m_pc.weight, r.weight);
    SetNumber(m_pc.age, r.age);
    SetNumber(m_pc.target, r.targetCalories);
    int hour = 0, minute = 0, second = 0;
    SplitAlarmTime(r.alarm, hour, minute, second);
    m_pc.alarm->setText(AlarmText(hour, minute, second));
}

PedometerSide CSyncDlg::ReadPedometerSide() const
{
    PedometerSide side;
    side.sexIndex = m_dev.sex->currentIndex();
    side.height = ReadNumberText(m_dev.height->text());
    side.weight = ReadNumberText(m_dev.weight->text());
    side.age = ReadNumberText(m_dev.age->text());
    side.targetCalories = ReadNumberText(m_dev.target->text());
    side.alarm = m_dev.alarm->text();
    return side;
}

void CSyncDlg::ShowPedometerSide(const PedometerSide& side)
{
    m_dev.sex->setCurrentIndex(side.sexIndex);
    SetNumber(m_dev.height, side.height);
    SetNumber(m_dev.weight, side.weight);
    SetNumber(m_dev.age, side.age);
    SetNumber(m_dev.target, side.targetCalories);
    m_dev.alarm->setText(side.alarm);
}

void CSyncDlg::accept()
{
    if (!m_pRecord)
        return;
    m_direction = m_toComputer->isChecked() ? 1 : 0;
    m_start->setEnabled(false);
    if (m_direction == 1)
        SyncToComputer();
    else
        SyncToPedometer();
    m_start->setEnabled(m_pRecord != nullptr);  // (a removal during the message leaves it off)
}

void CSyncDlg::SyncToComputer()
{
    const UserRecord copy = SyncedFromPedometer(*m_pRecord, ReadPedometerSide());
    if (USER_EditUser(copy) != 1)
        return;  // no message; the fields keep their values
    UpdateLoadedRecords(*m_pRecord, [&copy](UserRecord& r) {
        r.sex = copy.sex;
        r.height = copy.height;
        r.stride = copy.stride;
        r.weight = copy.weight;
        r.age = copy.age;
        r.targetCalories = copy.targetCalories;
        r.alarm = copy.alarm;
    });
    ShowComputerSide(*m_pRecord);
    m_pc.alarm->setText(m_dev.alarm->text());
    ShowMessageBox(this, LoadStr(216));
}

void CSyncDlg::SyncToPedometer()
{
    // The profile write without the number: the pedometer keeps its ID.
    DeviceWriteOps ops = LibraryDeviceWriteOps();
    ops.setId = [](int32_t) { return 1; };
    if (!WriteProfileSequence(*m_pRecord, ops))
        return;  // no message; the fields keep their values
    PedometerSide side;
    side.sexIndex = m_pRecord->sex == 1 ? 0 : 1;
    side.height = m_pRecord->height;
    side.weight = m_pRecord->weight;
    side.age = m_pRecord->age;
    side.targetCalories = m_pRecord->targetCalories;
    side.alarm = m_pc.alarm->text();
    ShowPedometerSide(side);
    ShowMessageBox(this, LoadStr(216));
}

void CSyncDlg::OnDeviceRemoved()
{
    m_pRecord = nullptr;
    m_start->setEnabled(false);
}
