#pragma once
// The profile fields the create and edit dialogs share: number, name, sex, age, weight,
// height, stride, calorie target, alarm time and the "write into the pedometer" box, laid
// out in a grid, with the stride suggestion wired to the height box and the sex combo.

#include "external/records/Records.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QTimeEdit;
class QWidget;

class CUserProfileForm {
public:
    // Adds the rows from row on (row is advanced); the number row leaves columns 2.. free for the caller.
    CUserProfileForm(QWidget* dialog, QGridLayout* grid, int& row);
    CUserProfileForm(const CUserProfileForm&) = delete;
    CUserProfileForm& operator=(const CUserProfileForm&) = delete;

    // Sex, age, weight, stride, height, calorie target and alarm from a record, in that order
    // (the height comes last, so its stride suggestion replaces the stored stride).
    void FillBody(const UserRecord& r);
    // Reads every field of the form into the record (number, name, sex = index + 1, ...).
    void ReadInto(UserRecord& r) const;
    void SetAlarm(int hour, int minute, int second);
    // Suggests the stride for the height box and the chosen sex.
    void SuggestStride();

    // The fields from the name to the alarm, left to right and top to bottom: their tab order.
    std::vector<QWidget*> FieldsAfterNumberRow() const;

    // Puts the write box in the given row and lets the two field columns take the spare width.
    void FinishGrid(QGridLayout* grid, int row);
    // The write box can be ticked only while a pedometer is connected.
    void FollowDevice();
    // Whether the profile goes into the pedometer: one is connected and the box is not unticked.
    bool WriteWanted() const;

    QLineEdit* m_number = nullptr;
    QLineEdit* m_name = nullptr;
    QComboBox* m_sex = nullptr;
    QLineEdit* m_age = nullptr;
    QLineEdit* m_weight = nullptr;
    QLineEdit* m_height = nullptr;
    QLineEdit* m_stride = nullptr;
    QLineEdit* m_targetKcal = nullptr;
    QTimeEdit* m_alarm = nullptr;
    QCheckBox* m_writeBox = nullptr;
    int m_numberRow = 0;
};
