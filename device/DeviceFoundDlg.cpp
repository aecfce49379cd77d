#include "device/DeviceFoundDlg.h"

#include "core/DeviceChoice.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* PlainLabel(QWidget* parent, int id)
{
    auto* label = new QLabel(parent);
    SetCtrlId(label, id);
    label->setTextFormat(Qt::PlainText);  // a user's name is shown as typed
    return label;
}

}  // namespace

CDeviceFoundDlg::CDeviceFoundDlg(QWidget* parent) : CAccountDlg(parent)
{
    SetCtrlId(this, IDD_DEVICE_FOUND);
    auto* outer = new QVBoxLayout(this);
    outer->setSpacing(10);
    outer->setContentsMargins(16, 14, 16, 14);

    auto* model = PlainLabel(this, IDC_MODEL);
    model->hide();
    m_deviceId = PlainLabel(this, IDC_DEVICE_ID);
    m_deviceName = PlainLabel(this, IDC_DEVICE_NAME);
    outer->addWidget(m_deviceId);
    outer->addWidget(m_deviceName);

    // The four choices, two by two.
    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    auto choice = [&](int id, int row, int column) {
        auto* b = new QPushButton(this);
        SetCtrlId(b, id);
        b->setMinimumHeight(34);
        b->setMinimumWidth(130);
        grid->addWidget(b, row, column);
        return b;
    };
    m_login = choice(IDC_FOUND_LOGIN, 0, 0);
    QPushButton* nothing = choice(IDC_FOUND_NOTHING, 0, 1);
    QPushButton* read = choice(IDC_FOUND_READ, 1, 0);
    QPushButton* sync = choice(IDC_FOUND_SYNC, 1, 1);
    outer->addLayout(grid);

    m_rememberBox = new QCheckBox(this);
    SetCtrlId(m_rememberBox, IDC_REMEMBER);
    outer->addWidget(m_rememberBox);
    m_forget = new QPushButton(this);
    SetCtrlId(m_forget, IDC_FORGET_CHOICE);
    // Shown as a link: a way out of a remembered choice, not one of the choices.
    m_forget->setFlat(true);
    m_forget->setAutoDefault(false);
    m_forget->setCursor(Qt::PointingHandCursor);
    QFont linkFont = m_forget->font();
    linkFont.setUnderline(true);
    m_forget->setFont(linkFont);
    QPalette linkColours = m_forget->palette();
    linkColours.setColor(QPalette::ButtonText, linkColours.color(QPalette::Link));
    m_forget->setPalette(linkColours);
    m_forget->hide();
    outer->addWidget(m_forget, 0, Qt::AlignLeft);

    // OK and Cancel stay hidden: Enter ends with 0, Esc with -1.
    for (int id : {IDOK, IDCANCEL}) {
        auto* hidden = new QPushButton(this);
        SetCtrlId(hidden, id);
        hidden->setAutoDefault(false);
        hidden->hide();
    }

    connect(m_login, &QPushButton::clicked, this, [this] { Choose(2, true); });
    connect(nothing, &QPushButton::clicked, this, [this] { Choose(1, true); });
    connect(read, &QPushButton::clicked, this, [this] { Choose(3, true); });
    connect(sync, &QPushButton::clicked, this, [this] { Choose(4, false); });
    connect(m_forget, &QPushButton::clicked, this, &CDeviceFoundDlg::ForgetChoice);

    ApplyDialogTexts(this, IDD_DEVICE_FOUND);
}

void CDeviceFoundDlg::InitControls()
{
    if (m_fromArrival == 0) {
        setWindowTitle(LoadStr(164));
        m_rememberBox->setEnabled(false);
    }
    if (g_pLoginUser && g_pDeviceUser && g_pLoginUser->number == g_pDeviceUser->number)
        m_login->setEnabled(false);
    if (g_pDeviceUser) {
        m_deviceId->setText(ReplaceR(LoadStr(152), g_pDeviceUser->number));
        m_deviceName->setText(ReplaceR(LoadStr(153), QString::fromStdString(RecordName(*g_pDeviceUser))));
        m_forget->setVisible(m_fromArrival == 0 && RememberedDeviceChoice(g_pDeviceUser->number) != 0);
    }
    adjustSize();
}

void CDeviceFoundDlg::Choose(int result, bool readsRemember)
{
    if (readsRemember)
        m_remember = m_rememberBox->isChecked();
    done(result);
}

void CDeviceFoundDlg::ForgetChoice()
{
    if (g_pDeviceUser && ForgetDeviceChoice(g_pDeviceUser->number)) {
        m_forget->hide();
        adjustSize();
    }
}

void CDeviceFoundDlg::reject()
{
    done(-1);
}

void CDeviceFoundDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter that no choice button took ends the dialog with 0, as its hidden OK did.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        done(0);
        return;
    }
    CAccountDlg::keyPressEvent(e);
}
