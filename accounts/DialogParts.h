#pragma once
// Pieces the account dialogs build alike: labels and boxes carrying control numbers, the
// field grid and the OK/Cancel row; and the input checks that point an error balloon at the
// box to correct.

#include <vector>

class QBoxLayout;
class QComboBox;
class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

// A label carrying a control number so the dialog texts reach it. Its text is plain text,
// never markup: it may come from a language pack or a record. With a field, the label names
// the field (its buddy) for assistive technology.
QLabel* MakeDlgLabel(QWidget* parent, int id, QWidget* field = nullptr);

// A read-only edit that looks read-only: the window's colour instead of the input colour.
void MakeReadOnly(QLineEdit* edit);

// A masked password box of at most 10 characters.
QLineEdit* MakePasswordEdit(QWidget* parent, int id);

// The rights combo (IDC_USER_RIGHTS): item 0 an ordinary user, item 1 an administrator.
QComboBox* MakeRightsCombo(QWidget* parent);

// A grid for the label and field rows: 8 pixels between columns, 6 between rows.
QGridLayout* MakeFieldGrid();

// The OK (IDOK, the default button) and Cancel (IDCANCEL) row at the foot of a dialog,
// wired to the dialog's own accept and reject. Returns the two buttons in the order they
// stand in the row (the desktop's button order decides it).
std::vector<QWidget*> AddOkCancelRow(QDialog* dialog, QBoxLayout* outer);

// Makes Tab visit the controls in the given order (and Shift+Tab the other way).
void SetTabChain(const std::vector<QWidget*>& controls);

// A timer of the dialog that stops however the dialog ends.
QTimer* MakeDialogTimer(QDialog* dialog, int intervalMs);

// ---- input checks ---------------------------------------------------------------

// What a refused box gets besides the balloon and the focus.
enum class FieldFix { Keep, SelectAll, Clear };

// Points the error balloon with string textId at the box, applies the fix, then gives the box the focus.
void RefuseField(QLineEdit* box, int textId, FieldFix fix = FieldFix::Keep);

// Refuses an empty name box ("enter a user name"); true when a name was typed.
bool NameGiven(QLineEdit* name);

// A typed password needs its confirmation, and the two must match byte for byte; on a mismatch
// both boxes are emptied and the password box takes the focus. True when they agree. The
// balloon goes as soon as either box is edited.
bool PasswordPairAgrees(QLineEdit* password, QLineEdit* confirm);
