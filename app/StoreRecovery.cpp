#include "app/StoreRecovery.h"

#include "core/DialogService.h"
#include "core/SkinSections.h"
#include "core/StoreText.h"
#include "core/StringTable.h"
#include "external/userdb/UserDbBackup.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

std::string StorePathOf(const QString& connection)
{
    return USER_StorePath(connection.toStdString());
}

}  // namespace

QString BackupTimeText(int64_t secondsSinceEpoch)
{
    return QDateTime::fromSecsSinceEpoch(secondsSinceEpoch).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString BackupReasonText(const BackupInfo& copy)
{
    switch (copy.reason) {
    case BackupReason::Daily: return LoadStr(860);
    case BackupReason::Delete: return LoadStr(861);
    case BackupReason::Erase: return LoadStr(862);
    case BackupReason::Migrate: return LoadStr(863);
    case BackupReason::Restore: return LoadStr(864);
    case BackupReason::Manual: return LoadStr(865);
    case BackupReason::Damaged: return LoadStr(866);
    }
    return QString();
}

bool OfferRestoreAtStart(int initResult, const QString& connection, const QString& initError, QString& error)
{
    if (initResult != USER_ERR_DAMAGED && initResult != USER_ERR_STORE_MISSING)
        return false;
    const std::string store = StorePathOf(connection);
    BackupInfo newest;
    if (USER_NewestGoodBackup(store, newest) != USER_OK)
        return false;
    const QString question = ReplaceR(LoadStr(877), initError)
                                 .replace(QStringLiteral("<r0>"), BackupTimeText(newest.time))
                                 .replace(QStringLiteral("<r1>"), BackupReasonText(newest));
    if (ShowMessageBox(nullptr, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) != QMessageBox::Yes)
        return false;
    std::string kept;
    if (const int result = USER_RestoreBackup(store, newest.path, kept); result != USER_OK) {
        error = StoreErrorText(result);
        return false;
    }
    return true;
}

CRestoreDlg::CRestoreDlg(const QString& connection, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_list(new QTreeWidget(this)), m_restore(new QPushButton(LoadStr(874), this))
{
    setWindowTitle(LoadStr(869));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({LoadStr(870), LoadStr(871), LoadStr(872), LoadStr(873)});
    m_list->setAccessibleName(LoadStr(869));
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(false);
    m_list->setMinimumSize(460, 220);
    auto* close = new QPushButton(LoadStr(730), this);
    m_restore->setAccessibleName(m_restore->text());
    close->setAccessibleName(close->text());
    connect(m_restore, &QPushButton::clicked, this, &CRestoreDlg::OnRestore);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { m_restore->setEnabled(m_list->currentItem() != nullptr); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_restore);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addLayout(buttons);
    ApplyDialogSkin(this);
    Fill();
}

void CRestoreDlg::Fill()
{
    m_list->clear();
    std::vector<BackupInfo> copies;
    USER_ListBackups(StorePathOf(m_connection), copies);
    for (const BackupInfo& copy : copies) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, BackupTimeText(copy.time));
        item->setText(1, BackupReasonText(copy));
        item->setText(2, copy.users >= 0 ? QString::number(copy.users) : QStringLiteral("?"));
        item->setText(3, copy.days >= 0 ? QString::number(copy.days) : QStringLiteral("?"));
        item->setData(0, Qt::UserRole, QString::fromStdString(copy.path));
        for (int c = 2; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (copies.empty()) {
        auto* none = new QTreeWidgetItem(m_list, {LoadStr(878)});
        none->setFlags(Qt::NoItemFlags);
    } else {
        m_list->setCurrentItem(m_list->topLevelItem(0));
    }
    m_restore->setEnabled(!copies.empty());
}

void CRestoreDlg::OnRestore()
{
    QTreeWidgetItem* item = m_list->currentItem();
    if (!item || item->data(0, Qt::UserRole).toString().isEmpty())
        return;
    const QString when = item->text(0);
    if (ShowMessageBox(this, ReplaceR(LoadStr(875), when), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    // The store is closed for the exchange and opened again whatever came of it.
    USER_Term(0, "508317");
    std::string kept, error;
    const int result = USER_RestoreBackup(StorePathOf(m_connection), item->data(0, Qt::UserRole).toString().toStdString(), kept);
    const QString restoreError = result == USER_OK ? QString() : StoreErrorText(result);
    const int reopened = USER_Init(m_connection.toStdString(), "KX300_User", "KX300_Data", error);
    if (reopened != 0) {
        ShowMessageBox(this, QStringLiteral("Error: %1").arg(StoreErrorText(reopened)));
        done(kStoreLost);
        return;
    }
    if (result != USER_OK) {
        ShowMessageBox(this, restoreError);
        Fill();
        return;
    }
    ShowMessageBox(this, ReplaceR(LoadStr(876), when));
    accept();
}
