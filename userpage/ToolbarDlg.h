#pragma once
// The toolbar strip of the user page (dialog 134): seven large icon buttons in one row from
// x = 150, dressed from the skin's BigToolbar section. It draws nothing of its own and hands every
// click to the user page with the button's id. Its buttons appear at the first layout, 100 ms
// after creation; Refresh shows them again with fresh backgrounds (after the window moved).
// The strip itself shows the page's pixels under it, which the transparent buttons capture.

#include "controls/ParentPixels.h"

#include <QBasicTimer>
#include <QWidget>

#include <array>

class CSkinButton;

class CToolbarDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowLeft = 150;
    static constexpr int kButtonTop = 2;
    static constexpr QSize kButtonSize{66, 56};
    static constexpr int kHeight = 60;
    static constexpr int kIconSize = 32;
    static constexpr int kFirstLayoutMs = 100;
    // The buttons' ids in the order of the row.
    static const std::array<int, 7> kRowOrder;

    explicit CToolbarDlg(QWidget* parent = nullptr);

    CSkinButton* Button(int id) const;
    // Puts the row in place from x = 150; skipped until every button exists.
    void LayoutButtons();
    // Shows the strip and its buttons again, each with a freshly captured background.
    void Refresh();
    bool FirstLayoutPending() const { return m_timer1.isActive(); }

signals:
    // A button was clicked: its id (1024 ... 1031).
    void Command(int id);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    std::array<CSkinButton*, 7> m_buttons{};  // in row order
    QBasicTimer m_timer1;
    CParentPixels m_parentPixels;  // the page under the strip
};
