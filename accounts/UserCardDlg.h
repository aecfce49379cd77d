#pragma once
// The user card (dialog 140): the logged-in user's picture in a thin frame and six lines of
// profile text over the skin's background, with two icon buttons at the bottom right that edit
// the own profile and change the own password. Its whole look comes from the skin's RightP1
// section. It shows g_pLoginUser as it is at each paint, so an edit shows at once.

#include "core/SkinSections.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <array>

class CSkinButton;
struct UserRecord;

// The card's lines for a user, in the order number, name, sex, age, weight, stride.
std::array<QString, 6> UserCardLines(const UserRecord& user);

class CUserCardDlg : public QWidget {
    Q_OBJECT
public:
    // The card's size when the skin has no background bitmap.
    static constexpr QSize kTemplateSize{196, 236};
    static constexpr QSize kButtonSize{24, 24};

    explicit CUserCardDlg(QWidget* parent = nullptr);
    CUserCardDlg(const CUserCardDlg&) = delete;
    CUserCardDlg& operator=(const CUserCardDlg&) = delete;

    const UserCardSkin& Skin() const { return m_skin; }
    bool HasBackground() const { return !m_back.isNull(); }
    bool HasPicture() const { return !m_picture.isNull(); }
    CSkinButton* ProfileButton() const { return m_profile; }
    CSkinButton* PasswordButton() const { return m_password; }

    // The profile button: edits the logged-in user; on OK the card shows the new values.
    void OnProfile();
    // The password button: changes the logged-in user's password (the old one is asked).
    void OnPassword();
    // Repaints and tells assistive clients the card's current lines.
    void Refresh();

signals:
    // The logged-in user's profile was changed from the card.
    void ProfileEdited();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void UpdateAccessibleText();

    UserCardSkin m_skin;
    QPixmap m_back;
    QImage m_picture;
    CSkinButton* m_profile = nullptr;
    CSkinButton* m_password = nullptr;
};
