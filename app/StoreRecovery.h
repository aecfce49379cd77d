#pragma once
// Bringing the user store back from one of its checked copies: offered at start-up when the
// store is damaged or missing while copies exist, and from the about box for administrators.

#include <QDialog>
#include <QString>

#include <cstdint>

class QTreeWidget;
class QPushButton;
struct BackupInfo;

// A copy's time as the dialogs show it ("2026-12-08 10:15").
QString BackupTimeText(int64_t secondsSinceEpoch);
// Why a copy was made, in the user's language.
QString BackupReasonText(const BackupInfo& copy);

// After USER_Init failed with result: when the store is damaged or missing and a good copy
// exists, asks whether to restore it and does so. True when the store was restored (open it
// again); false when nothing was done. error gets a failure's text.
bool OfferRestoreAtStart(int initResult, const QString& connection, const QString& initError, QString& error);

// Lists the copies of the open store and restores the one chosen: the store is closed, replaced
// and opened again. Accepted when a copy was restored.
class CRestoreDlg : public QDialog {
    Q_OBJECT
public:
    // The dialog's result when the store could not be opened again: the program must end.
    static constexpr int kStoreLost = 2;

    CRestoreDlg(const QString& connection, QWidget* parent);
    QTreeWidget* List() const { return m_list; }
    QPushButton* RestoreButton() const { return m_restore; }
    void OnRestore();

private:
    void Fill();

    QString m_connection;
    QTreeWidget* m_list;
    QPushButton* m_restore;
};
