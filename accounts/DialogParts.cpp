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

QLabel* MakeDlgLabel(QWidget* parent, int id, QWidget* field)
{
    auto* label = new QLabel(parent);
    SetCtrlId(label, id);
    label->setTextFormat(Qt::PlainText);
    if (field)
        label->setBuddy(field);
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

std::vector<QWidget*> AddOkCancelRow(QDialog* dialog, QBoxLayout* outer)
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
    // The box lays its buttons out in the desktop's order; its layout holds them in that order.
    std::vector<QWidget*> row;
    for (int i = 0; buttons->layout() && i < buttons->layout()->count(); ++i) {
        QWidget* w = buttons->layout()->itemAt(i)->widget();
        if (w == ok || w == cancel)
            row.push_back(w);
    }
    if (row.size() != 2)
        row = {ok, cancel};
    return row;
}

void SetTabChain(const std::vector<QWidget*>& controls)
{
    for (size_t i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
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
    if (fix == FieldFix::SelectAll)
        box->selectAll();  // typing replaces the refused text
    else if (fix == FieldFix::Clear)
        box->clear();
    ShowErrorBalloon(box, LoadStr(textId));
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
        // Emptying the password mends it as well as confirming it.
        ShowErrorBalloon(confirm, LoadStr(113), password);
        confirm->setFocus();
        return false;
    }
    if (password->text().toUtf8() != confirm->text().toUtf8()) {
        password->clear();
        confirm->clear();
        ShowErrorBalloon(password, LoadStr(105), confirm);
        password->setFocus();
        return false;
    }
    return true;
}
