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

// The alarm box: Tab leaves it at once (the hour, minute and second are chosen with the arrow
// keys or the mouse), like every other box of the dialog.
class CAlarmEdit : public QTimeEdit {
public:
    using QTimeEdit::QTimeEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

// A number box that takes typed values from 0 to maxValue; what the program sets is kept whole.
QLineEdit* MakeNumberEdit(QWidget* parent, int id, int maxValue)
{
    auto* e = new QLineEdit(parent);
    SetCtrlId(e, id);
    e->setValidator(new CNumberValidator(maxValue, e));
    return e;
}

// A number box in column + 1, its label in column and, unless unitId is 0, its unit in column + 2.
QLineEdit* AddFigure(QWidget* dialog, QGridLayout* grid, int row, int column, int labelId, int id, int maxValue,
                     int unitId)
{
    QLineEdit* e = MakeNumberEdit(dialog, id, maxValue);
    grid->addWidget(MakeDlgLabel(dialog, labelId, e), row, column);
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
    // Typed numbers stop where the pedometer's limits are; the number itself is checked on its own.
    m_numberRow = row;
    m_number = AddFigure(dialog, grid, row, 0, 1201, IDC_USER_NUMBER, kBlankDeviceId, 0);
    ++row;

    m_name = new QLineEdit(dialog);
    SetCtrlId(m_name, IDC_USER_NAME);
    m_name->setValidator(new CUtf8LimitValidator(kNameMaxBytes, m_name));
    grid->addWidget(MakeDlgLabel(dialog, 1202, m_name), row, 0);
    grid->addWidget(m_name, row, 1);
    m_sex = new QComboBox(dialog);
    SetCtrlId(m_sex, IDC_USER_SEX);
    m_sex->addItem(LoadStr(107));
    m_sex->addItem(LoadStr(108));
    grid->addWidget(MakeDlgLabel(dialog, 1203, m_sex), row, 4);
    grid->addWidget(m_sex, row, 5);
    ++row;

    m_age = AddFigure(dialog, grid, row, 0, 1204, IDC_USER_AGE, kPedometerMaxAge, 1223);
    m_weight = AddFigure(dialog, grid, row, 4, 1205, IDC_USER_WEIGHT, kPedometerMaxWeight, 1224);
    ++row;

    m_height = AddFigure(dialog, grid, row, 0, 1206, IDC_USER_HEIGHT, kPedometerMaxHeight, 1225);
    // The stride is not written into the pedometer; it is never longer than a height can be.
    m_stride = AddFigure(dialog, grid, row, 4, 1207, IDC_USER_STRIDE, kPedometerMaxHeight, 1226);
    ++row;

    m_targetKcal = AddFigure(dialog, grid, row, 0, 1208, IDC_USER_TARGET_KCAL, kPedometerMaxKcal, 1227);
    m_alarm = new CAlarmEdit(dialog);
    SetCtrlId(m_alarm, IDC_USER_ALARM);
    m_alarm->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    grid->addWidget(MakeDlgLabel(dialog, 1209, m_alarm), row, 4);
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

std::vector<QWidget*> CUserProfileForm::FieldsAfterNumberRow() const
{
    return {m_name, m_sex, m_age, m_weight, m_height, m_stride, m_targetKcal, m_alarm};
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
