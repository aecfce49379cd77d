#pragma once
// The program's only top-level window; hosts one page at a time.

#include "app/MainWindowApi.h"

#include <QDialog>

class CMainDlg : public QDialog, public IMainWindow {
    Q_OBJECT
public:
    explicit CMainDlg(QWidget* parent = nullptr);
    ~CMainDlg() override;

    void ShowUserPages(const UserRecord& user, const QString& password) override;
    void ShowLoginPage() override;
};
