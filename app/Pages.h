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
