#pragma once
// The pages the main window hosts, made through factories so that each page's
// own class can be plugged in at one place.

#include <QSize>
#include <QWidget>

class QLabel;

// The start-up picture: Show.bmp of the program folder at its own size; without
// the file the pane keeps its default size.
class CPicturePane : public QWidget {
    Q_OBJECT
public:
    explicit CPicturePane(QWidget* parent);
    static constexpr QSize kDefaultSize{480, 300};

private:
    QLabel* m_picture;
};

// The login page (dialog 131).
QWidget* CreateLoginPage(QWidget* parent);
// The logged-in user page (dialog 133).
QWidget* CreateUserPage(QWidget* parent);
// The size of the login page's background bitmap, or fallback when it can't be read.
QSize SkinBitmapSize(const QString& section, const QString& key, const QString& def, QSize fallback);
