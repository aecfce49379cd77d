#pragma once
// The account dialogs' rules without widgets: digests, the login attempt and who owns
// the logged-in record, the login slots' layout, the stride suggestion, the overwrite
// question and the sequence that writes a profile into the pedometer.

#include "external/records/Records.h"

#include <QPoint>
#include <QString>
#include <QValidator>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- digests ----------------------------------------------------------------

// The password digest of a typed password: empty for an empty text, else MD5 five times.
std::string PasswordDigestOf(const QString& password);

// ---- login ------------------------------------------------------------------

// One login attempt: the logged-in record is released first; a zero-filled record that USER_Login
// fills becomes the logged-in record on 1; on any other result g_pLoginUser stays null.
// Returns USER_Login's result.
int LoginAttempt(const std::string& name, const std::string& digest);

// ---- login slots --------------------------------------------------------------

struct SlotPlace {
    QPoint picture;  // top-left of the picture
    QPoint label;    // top-left of the name label
};

// Places n slots one under the other, vertically centred in a page of clientHeight pixels:
// the first top is (clientHeight - n * (h + 8)) / 2 (integer division towards zero), each picture
// at x0, each name label 8 pixels right of the picture and 5 pixels lower; the next slot h + 8 lower.
std::vector<SlotPlace> LayoutLoginSlots(int n, int x0, int pictureWidth, int pictureHeight, int clientHeight);

// ---- profile fields -------------------------------------------------------------

// The stride (cm) suggested for a height: height x 0.415 for sex item 0 ("男"), x 0.413 otherwise,
// in double precision, truncated towards zero.
int SuggestStride(int height, int sexIndex);

// Whether the create dialog shows the store's suggested number: only a filled suggestion of at least 10000.
bool ShowSuggestedNumber(int result, int32_t number);

// Whether writing over a pedometer of this ID needs the overwrite question: it already holds a user number.
bool NeedsOverwriteQuestion(int32_t deviceId);

// A number box's text as a signed integer, like the old number-only edits (0 for an empty box).
int ReadNumberText(const QString& text);

// Limits a text to a number of UTF-8 bytes; input that would go over is refused as a whole,
// so a character is never cut in two.
class CUtf8LimitValidator : public QValidator {
    Q_OBJECT
public:
    CUtf8LimitValidator(int maxBytes, QObject* parent) : QValidator(parent), m_maxBytes(maxBytes) {}
    State validate(QString& input, int& pos) const override;

private:
    int m_maxBytes;
};

// Typed input of a number box: digits only, of a value from 0 to maxValue. It limits what is
// typed, never a value the program sets (a record's or a pedometer's value is shown whole).
class CNumberValidator : public QValidator {
    Q_OBJECT
public:
    CNumberValidator(int maxValue, QObject* parent) : QValidator(parent), m_maxValue(maxValue) {}
    State validate(QString& input, int& pos) const override;

private:
    int m_maxValue;
};

// Digits only, at most maxDigits of them (so the value always fits a signed 32-bit integer).
QValidator* MakeDigitsValidator(int maxDigits, QObject* parent);

// The largest values the pedometer takes (the device library refuses a profile beyond them).
constexpr int kPedometerMaxAge = 150;
constexpr int kPedometerMaxHeight = 300;
constexpr int kPedometerMaxWeight = 500;
constexpr int kPedometerMaxKcal = 100000;

// Whether a pedometer can hold the number as its owner's ID: 1 to 999998. Zero and below, and
// 999999, make it read as blank at the next plug-in; larger numbers are not user numbers there.
bool UserNumberFitsPedometer(int64_t number);

// ---- writing a profile into the pedometer --------------------------------------

// Whether the profile may go into the connected pedometer (g_pDeviceUser) under newNumber:
// straight away when the pedometer holds no user number, else only after "Yes" to the overwrite question.
bool OverwriteAllowed(QWidget* parent, int32_t newNumber);

// Writes the profile into the connected pedometer through the device link; false without one.
bool WriteProfileToDevice(const UserRecord& user);

// ---- records in memory ------------------------------------------------------------

// Applies a change the store has taken to a record, then to the logged-in and the pedometer
// records of the same user, so every record in memory agrees with the store.
void UpdateLoadedRecords(UserRecord& record, const std::function<void(UserRecord&)>& update);

// ---- balloons ---------------------------------------------------------------------

// The input error balloon: error icon, title string 103, anchored at the control, 5000 ms.
// It goes when the user edits the control, or `alsoMendedBy` when given.
void ShowErrorBalloon(QWidget* control, const QString& text, QWidget* alsoMendedBy = nullptr);
