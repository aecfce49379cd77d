#pragma once
// Pieces the account dialogs build alike: labels and boxes carrying control numbers, the
// field grid and the OK/Cancel row; and the input checks that point an error balloon at the
// box to correct.

class QBoxLayout;
class QComboBox;
class QDialog;
class QGridLayout;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

// A label carrying a control number so the dialog texts reach it.
QLabel* MakeDlgLabel(QWidget* parent, int id);

// A read-only edit that looks read-only: the window's colour instead of the input colour.
void MakeReadOnly(QLineEdit* edit);

// A masked password box of at most 10 characters.
QLineEdit* MakePasswordEdit(QWidget* parent, int id);

// The rights combo (IDC_USER_RIGHTS): item 0 an ordinary user, item 1 an administrator.
QComboBox* MakeRightsCombo(QWidget* parent);

// A grid for the label and field rows: 8 pixels between columns, 6 between rows.
QGridLayout* MakeFieldGrid();

// The OK (IDOK, the default button) and Cancel (IDCANCEL) row at the foot of a dialog,
// wired to the dialog's own accept and reject.
void AddOkCancelRow(QDialog* dialog, QBoxLayout* outer);

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
// both boxes are emptied and the password box takes the focus. True when they agree.
bool PasswordPairAgrees(QLineEdit* password, QLineEdit* confirm);
