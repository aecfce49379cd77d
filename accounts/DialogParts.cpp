#include "accounts/DialogParts.h"

#include "accounts/AccountRules.h"
#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

QLabel* MakeDlgLabel(QWidget* parent, int id)
{
    auto* label = new QLabel(parent);
    SetCtrlId(label, id);
    return label;
}

void MakeReadOnly(QLineEdit* edit)
{
    edit->setReadOnly(true);
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Window));
    edit->setPalette(pal);
}

QLineEdit* MakePasswordEdit(QWidget* parent, int id)
{
    auto* e = new QLineEdit(parent);
    SetCtrlId(e, id);
    e->setEchoMode(QLineEdit::Password);
    e->setMaxLength(10);
    return e;
}

QComboBox* MakeRightsCombo(QWidget* parent)
{
    auto* rights = new QComboBox(parent);
    SetCtrlId(rights, IDC_USER_RIGHTS);
    rights->addItem(LoadStr(111));
    rights->addItem(LoadStr(110));
    return rights;
}

QGridLayout* MakeFieldGrid()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    return grid;
}

void AddOkCancelRow(QDialog* dialog, QBoxLayout* outer)
{
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    SetCtrlId(ok, IDOK);
    SetCtrlId(cancel, IDCANCEL);
    ok->setDefault(true);
    outer->addWidget(buttons);
    // accept and reject are virtual: each dialog's own OK action runs.
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
}

QTimer* MakeDialogTimer(QDialog* dialog, int intervalMs)
{
    auto* timer = new QTimer(dialog);
    timer->setInterval(intervalMs);
    QObject::connect(dialog, &QDialog::finished, timer, &QTimer::stop);
    return timer;
}

void RefuseField(QLineEdit* box, int textId, FieldFix fix)
{
    ShowErrorBalloon(box, LoadStr(textId));
    if (fix == FieldFix::SelectAll)
        box->selectAll();  // typing replaces the refused text
    else if (fix == FieldFix::Clear)
        box->clear();
    box->setFocus();
}

bool NameGiven(QLineEdit* name)
{
    if (!name->text().isEmpty())
        return true;
    RefuseField(name, 104);
    return false;
}

bool PasswordPairAgrees(QLineEdit* password, QLineEdit* confirm)
{
    if (!password->text().isEmpty() && confirm->text().isEmpty()) {
        RefuseField(confirm, 113);
        return false;
    }
    if (password->text().toUtf8() != confirm->text().toUtf8()) {
        ShowErrorBalloon(password, LoadStr(105));
        password->clear();
        confirm->clear();
        password->setFocus();
        return false;
    }
    return true;
}
