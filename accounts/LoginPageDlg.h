#pragma once
// The login page: up to three user slots (picture and name), a password box under the chosen
// slot, "other user", "exit" and the language choice. The main window shows it as its page.

#include "external/records/Records.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <memory>

class CUserPictureFrame;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The page's size: the skin's background bitmap's size, or 440 x 300 without one.
QSize LoginPageSize(const QString& backBmpPath);

class CLoginPageDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSlots = 3;

    explicit CLoginPageDlg(QWidget* parent = nullptr);
    ~CLoginPageDlg() override;
    CLoginPageDlg(const CLoginPageDlg&) = delete;
    CLoginPageDlg& operator=(const CLoginPageDlg&) = delete;

    // Click on slot i's picture.
    void SelectSlot(int slot);
    // The login button or Enter in the password box.
    void OnOK();
    // "Other user": the login dialog.
    void OnOtherUser();
    // Language combo: switch to language index.
    void OnLanguageChange(int index);

    const UserRecord* SelectedUser() const { return m_selected; }
    int FilledSlots() const { return m_filled; }
    CUserPictureFrame* Picture(int slot) const { return m_pictures[slot]; }
    QLabel* NameLabel(int slot) const { return m_names[slot]; }
    QLabel* RightsLabel() const { return m_rights; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QPushButton* LoginButton() const { return m_login; }

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void OnInitDialog();
    void CreateControls();
    void FillSlot(int slot, std::unique_ptr<UserRecord> user);
    void LayoutSlots();
    void FillLanguageCombo();
    void HidePasswordBox();
    // Tab order in reading order; the page's focus goes to its first control.
    void ChainTabs();
    // Makes sure the page's window counts as active when it has the desktop's focus, and that
    // one of the page's controls holds the focus.
    void ShowFocus();
    void FitTextWidths();
    void LoginDone(const QString& password);

    QPixmap m_back;
    QLabel* m_logo = nullptr;
    std::array<CUserPictureFrame*, kSlots> m_pictures{};
    std::array<QLabel*, kSlots> m_names{};
    std::array<std::unique_ptr<UserRecord>, kSlots> m_users;
    QLabel* m_rights = nullptr;
    QLineEdit* m_password = nullptr;
    QPushButton* m_login = nullptr;
    QPushButton* m_other = nullptr;
    QPushButton* m_exit = nullptr;
    QComboBox* m_language = nullptr;
    QLabel* m_languageLabel = nullptr;
    QWidget* m_firstControl = nullptr;  // where the page's focus goes
    UserRecord* m_selected = nullptr;
    int m_filled = 0;
    int m_languageIndex = 0;
};

// Login-page factory the main window calls.
QWidget* CreateLoginPageDlg(QWidget* parent);
