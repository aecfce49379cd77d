#include "accounts/UserProfileForm.h"

#include "accounts/AccountRules.h"
#include "accounts/DialogParts.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

namespace {

QLineEdit* MakeNumberEdit(QWidget* parent, int id, int maxDigits)
{
    auto* e = new QLineEdit(parent);
    SetCtrlId(e, id);
    e->setMaxLength(maxDigits);
    e->setValidator(MakeDigitsValidator(maxDigits, e));
    return e;
}

// A number box in column + 1, its label in column and, unless unitId is 0, its unit in column + 2;
// created in this order, which is also the tab order.
QLineEdit* AddFigure(QWidget* dialog, QGridLayout* grid, int row, int column, int labelId, int id, int maxDigits,
                     int unitId)
{
    grid->addWidget(MakeDlgLabel(dialog, labelId), row, column);
    QLineEdit* e = MakeNumberEdit(dialog, id, maxDigits);
    grid->addWidget(e, row, column + 1);
    if (unitId != 0)
        grid->addWidget(MakeDlgLabel(dialog, unitId), row, column + 2);
    return e;
}

void SetNumber(QLineEdit* e, int value)
{
    e->setText(QString::number(value));
}

}  // namespace

CUserProfileForm::CUserProfileForm(QWidget* dialog, QGridLayout* grid, int& row)
{
    // Left column: identity and body; right column: the figures with their units.
    m_numberRow = row;
    m_number = AddFigure(dialog, grid, row, 0, 1201, IDC_USER_NUMBER, 9, 0);
    ++row;

    grid->addWidget(MakeDlgLabel(dialog, 1202), row, 0);
    m_name = new QLineEdit(dialog);
    SetCtrlId(m_name, IDC_USER_NAME);
    m_name->setValidator(new CUtf8LimitValidator(kNameMaxBytes, m_name));
    grid->addWidget(m_name, row, 1);
    grid->addWidget(MakeDlgLabel(dialog, 1203), row, 4);
    m_sex = new QComboBox(dialog);
    SetCtrlId(m_sex, IDC_USER_SEX);
    m_sex->addItem(LoadStr(107));
    m_sex->addItem(LoadStr(108));
    grid->addWidget(m_sex, row, 5);
    ++row;

    m_age = AddFigure(dialog, grid, row, 0, 1204, IDC_USER_AGE, 2, 1223);
    m_weight = AddFigure(dialog, grid, row, 4, 1205, IDC_USER_WEIGHT, 9, 1224);
    ++row;

    m_height = AddFigure(dialog, grid, row, 0, 1206, IDC_USER_HEIGHT, 9, 1225);
    m_stride = AddFigure(dialog, grid, row, 4, 1207, IDC_USER_STRIDE, 9, 1226);
    ++row;

    m_targetKcal = AddFigure(dialog, grid, row, 0, 1208, IDC_USER_TARGET_KCAL, 9, 1227);
    grid->addWidget(MakeDlgLabel(dialog, 1209), row, 4);
    m_alarm = new QTimeEdit(dialog);
    SetCtrlId(m_alarm, IDC_USER_ALARM);
    m_alarm->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    grid->addWidget(m_alarm, row, 5);
    ++row;

    // A gap between the left block's units and the right block's labels.
    grid->setColumnMinimumWidth(3, 14);

    m_writeBox = new QCheckBox(dialog);
    SetCtrlId(m_writeBox, IDC_WRITE_DEVICE);

    QObject::connect(m_height, &QLineEdit::textChanged, dialog, [this] { SuggestStride(); });
    QObject::connect(m_sex, &QComboBox::activated, dialog, [this] { SuggestStride(); });
}

void CUserProfileForm::SuggestStride()
{
    // An emptied height box leaves no suggestion rather than a stride of 0.
    if (m_height->text().isEmpty()) {
        m_stride->clear();
        return;
    }
    SetNumber(m_stride, ::SuggestStride(ReadNumberText(m_height->text()), m_sex->currentIndex()));
}

void CUserProfileForm::FinishGrid(QGridLayout* grid, int row)
{
    grid->addWidget(m_writeBox, row, 0, 1, 7);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
}

void CUserProfileForm::FollowDevice()
{
    m_writeBox->setEnabled(g_pDeviceUser != nullptr);
}

bool CUserProfileForm::WriteWanted() const
{
    return g_pDeviceUser && m_writeBox->checkState() != Qt::Unchecked;
}

void CUserProfileForm::SetAlarm(int hour, int minute, int second)
{
    m_alarm->setTime(QTime(hour, minute, second));
}

void CUserProfileForm::FillBody(const UserRecord& r)
{
    m_sex->setCurrentIndex(r.sex == 1 ? 0 : 1);
    SetNumber(m_age, r.age);
    SetNumber(m_weight, r.weight);
    SetNumber(m_stride, r.stride);
    SetNumber(m_height, r.height);
    SetNumber(m_targetKcal, r.targetCalories);
    int h = 0, m = 0, s = 0;
    SplitAlarmTime(r.alarm, h, m, s);
    SetAlarm(h, m, s);
}

void CUserProfileForm::ReadInto(UserRecord& r) const
{
    r.number = ReadNumberText(m_number->text());
    SetRecordName(r, m_name->text().toStdString());
    r.sex = m_sex->currentIndex() + 1;
    r.age = ReadNumberText(m_age->text());
    r.weight = ReadNumberText(m_weight->text());
    r.height = ReadNumberText(m_height->text());
    r.stride = ReadNumberText(m_stride->text());
    r.targetCalories = ReadNumberText(m_targetKcal->text());
    const QTime t = m_alarm->time();
    r.alarm = MakeAlarmTime(t.hour(), t.minute(), t.second());
}
