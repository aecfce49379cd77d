#pragma once
// The about box: program icon, version text, the data folder and OK; for an administrator also
// the way to restore the user store from one of its copies.

#include <QDialog>

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // connection: the user store's connection string (for the restore).
    explicit CAboutDlg(QWidget* parent = nullptr, const QString& connection = QString());

    // What the restore did while the box was open.
    enum class Restore { None, Restored, StoreLost };
    Restore RestoreOutcome() const { return m_restore; }

private:
    QString m_connection;
    Restore m_restore = Restore::None;
};
