#include "device/ReadDataDlg.h"

#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "device/DeviceImport.h"
#include "device/DeviceLink.h"
#include "device/DeviceProgress.h"
#include "device/ReadProgressDlg.h"
#include "external/usb/Usb.h"
#include "external/userdb/UserDb.h"
#include "external/userdb/UserDbBackup.h"
#include "res/resource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimerEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

QStringList ReadRowTexts(const DeviceStepRecord& day, const UserRecord& user)
{
    const Ymd date = OleDateToYmd(day.date.dt);
    return {QStringLiteral("%1-%2-%3").arg(date.year).arg(date.month).arg(date.day),
            QString::number(user.number),
            QString::fromStdString(RecordName(user)),
            QString::number(day.steps),
            QString(),
            QString(),
            QString::number(day.calories, 'f', 1),
            QString()};
}

CReadDataDlg::CReadDataDlg(QWidget* parent) : CAccountDlg(parent)
{
    SetCtrlId(this, IDD_READ_DATA);
    auto* outer = new QVBoxLayout(this);

    m_list = new QTreeWidget(this);
    SetCtrlId(m_list, IDC_LIST);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setMinimumSize(560, 280);
    outer->addWidget(m_list);

    auto* spare = new QComboBox(this);  // kept hidden, as in the dialog's resource
    SetCtrlId(spare, IDC_READ_SPARE_COMBO);
    spare->addItem(QString());
    spare->hide();

    auto* row = new QHBoxLayout;
    m_selectAll = new QCheckBox(this);
    SetCtrlId(m_selectAll, IDC_SELECT_ALL);
    row->addWidget(m_selectAll);
    row->addStretch(1);
    m_deleteAll = new QPushButton(this);
    SetCtrlId(m_deleteAll, IDC_DELETE);
    m_deleteAll->setEnabled(false);  // until the list shows what there is to erase
    m_export = new QPushButton(this);
    SetCtrlId(m_export, IDOK);
    m_export->setDefault(true);
    auto* close = new QPushButton(this);
    SetCtrlId(close, IDCANCEL);
    row->addWidget(m_deleteAll);
    row->addWidget(m_export);
    row->addWidget(close);
    outer->addLayout(row);

    connect(m_export, &QPushButton::clicked, this, &CReadDataDlg::accept);
    connect(close, &QPushButton::clicked, this, &CReadDataDlg::reject);
    connect(m_selectAll, &QCheckBox::toggled, this, &CReadDataDlg::OnSelectAll);
    connect(m_deleteAll, &QPushButton::clicked, this, &CReadDataDlg::OnDeleteAll);
    if (CDeviceLink* link = CDeviceLink::Current())
        connect(link, &CDeviceLink::DeviceRemoved, this, &CReadDataDlg::OnDeviceRemoved);

    ApplyDialogTexts(this, IDD_READ_DATA);
    m_list->setAccessibleName(windowTitle());
}

CReadDataDlg::~CReadDataDlg() = default;

void CReadDataDlg::InitControls()
{
    // The eight columns; the hidden combo has its item 0 already.
    QStringList headings;
    for (const ReadColumn& c : kReadColumns)
        headings << LoadStr(c.heading);
    m_list->setColumnCount(static_cast<int>(headings.size()));
    m_list->setHeaderLabels(headings);
    m_list->header()->setMinimumSectionSize(0);
    m_list->header()->setStretchLastSection(false);
    for (int i = 0; i < m_list->columnCount(); ++i) {
        m_list->headerItem()->setTextAlignment(i, kReadColumns[i].alignment | Qt::AlignVCenter);
        m_list->setColumnWidth(i, kReadColumns[i].width);
    }

    m_progress = std::make_unique<CReadProgressDlg>();
    if (!g_bUsbComplete.load())
        m_progress->StartTimer();
    m_timer1.start(300, this);
}

void CReadDataDlg::timerEvent(QTimerEvent* e)
{
    if (e->timerId() == m_timer1.timerId()) {
        OnTimer1();
        return;
    }
    CAccountDlg::timerEvent(e);
}

void CReadDataDlg::OnTimer1()
{
    if (!g_bUsbComplete.load())
        return;
    m_timer1.stop();
    FillList();
}

void CReadDataDlg::FillList()
{
    m_list->clear();
    const QSignalBlocker quiet(m_selectAll);
    m_selectAll->setChecked(false);  // nothing is ticked in a fresh list
    // Listing needs the pedometer's user; after a removal there is nothing to list.
    if (m_deviceGone || !g_pDeviceUser) {
        m_deleteAll->setEnabled(false);
        return;
    }
    const UserRecord user = *g_pDeviceUser;
    const int n = USB_GetDataCount();
    m_deleteAll->setEnabled(n > 0);
    for (int i = 0; i < n; ++i) {
        const DeviceStepRecord* day = USB_GetData(i);
        if (!day)
            continue;
        auto* item = new QTreeWidgetItem(ReadRowTexts(*day, user));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
        item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(day)));
        for (int c = 0; c < m_list->columnCount(); ++c)
            item->setTextAlignment(c, kReadColumns[c].alignment | Qt::AlignVCenter);
        m_list->addTopLevelItem(item);
    }
    // A column the table gives a width is never narrower than its texts (check box included).
    for (int c = 0; c < m_list->columnCount(); ++c) {
        if (kReadColumns[c].width > 0) {
            m_list->resizeColumnToContents(c);  // texts and heading
            m_list->setColumnWidth(c, std::max(kReadColumns[c].width, m_list->columnWidth(c)));
        }
    }
    m_list->scrollToBottom();
}

std::vector<const DeviceStepRecord*> CReadDataDlg::TickedDays() const
{
    std::vector<const DeviceStepRecord*> days;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            days.push_back(reinterpret_cast<const DeviceStepRecord*>(item->data(0, Qt::UserRole).value<quintptr>()));
    }
    return days;
}

void CReadDataDlg::accept()
{
    // Storing needs the pedometer's user; the dialog stays open either way.
    if (m_deviceGone || !g_pDeviceUser)
        return;
    int stored = 0;
    for (const int result : StoreDays(*g_pDeviceUser, TickedDays()))
        stored += result == 1 ? 1 : 0;
    ShowMessageBox(this, ReplaceR(LoadStr(165), stored));
}

void CReadDataDlg::OnSelectAll(bool checked)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i)
        m_list->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
}

void CReadDataDlg::OnDeleteAll()
{
    if (m_deviceGone || !g_pDeviceUser)
        return;
    // Every day the pedometer holds is stored first; what cannot be stored is named in the question.
    const int lost = DaysLostByErasing(g_pDeviceUser, PedometerDays());
    const int answer = lost == 0 ? ShowMessageBox(this, LoadStr(214), QMessageBox::Yes | QMessageBox::No)
                                 : ShowMessageBox(this, ReplaceR(LoadStr(553), lost),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes || m_deviceGone)
        return;  // (a removal during the question leaves nothing to erase)
    // A checked copy of the store first: without one the pedometer is not erased.
    std::string copy;
    if (const int result = USER_Backup(BackupReason::Erase, copy); result != USER_OK) {
        ShowMessageBox(this, StoreErrorText(result));
        return;
    }
    USB_DeleteAllData();
    FillList();  // empty, unless the pedometer refused to be erased
}

void CReadDataDlg::OnDeviceRemoved()
{
    m_deviceGone = true;
    m_timer1.stop();
    m_list->clear();
    m_selectAll->setEnabled(false);
    m_export->setEnabled(false);
    m_deleteAll->setEnabled(false);
}
