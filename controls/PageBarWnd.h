#pragma once
// CPageBarWnd: a page container with a vertical strip of square icon buttons on its left,
// one per page, and a page area to their right in which one page at a time is shown. The
// selected button is drawn joined to the page area like a tab.
//
// Usage (the user page):
//     auto* bar = new CPageBarWnd(panel);
//     bar->SetTransparent(true);
//     bar->SetPageColour(0xFFFDFF);
//     auto* home = new CHomePageDlg(bar);            // pages are children of the bar
//     bar->AddPage(0, QString(), icon, LoadStr(205), home);
//
// Buttons carry the command ids 1001, 1002, ... in the order of the AddPage calls (never
// renumbered); a click selects the page of the id. Only ids 1000 ... 1100 are handled, so the
// button of a 101st page does nothing. The bar owns its buttons; the pages belong to whoever
// made them.

#include "controls/Colour.h"
#include "controls/ParentPixels.h"

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>
#include <vector>

class CSkinButton;

class CPageBarWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCellSize = 43;         // strip width and height of one button cell
    static constexpr int kFirstCommand = 1000;   // handled command ids: 1000 ... 1100
    static constexpr int kLastCommand = 1100;
    static constexpr COLORREF kDefaultFrameColour = 0xB99D7F;

    explicit CPageBarWnd(QWidget* parent = nullptr);
    ~CPageBarWnd() override;
    CPageBarWnd(const CPageBarWnd&) = delete;
    CPageBarWnd& operator=(const CPageBarWnd&) = delete;

    // Inserts a page at index (appended when index is negative or beyond the count) and
    // returns the index it got. The first page added is selected; a page added at or before
    // the selection keeps the selected page shown.
    int AddPage(int index, const QString& caption, const QIcon& icon, const QString& tooltip, QWidget* page);
    // Shows page n and hides the others; an index that names no page changes nothing.
    void SelectPage(int n);
    int GetCurSel() const { return m_selection; }
    int GetPageCount() const { return int(m_pages.size()); }
    // The index of a page window, −1 when it is not one of the bar's pages.
    int IndexOfPage(const QWidget* page) const;

    // Stored only; the next paint or selection uses them.
    void SetPageColour(COLORREF c) { m_pageColour = c; }
    void SetFrameColour(COLORREF c) { m_frameColour = c; }
    void SetTransparent(bool on) { m_transparent = on; }
    COLORREF GetPageColour() const { return m_pageColour; }
    COLORREF GetStripColour() const { return m_stripColour; }
    COLORREF GetFrameColour() const { return m_frameColour; }

    // A button's command: selects the page whose button has this id.
    void OnCommand(int id);

    // The page and button of an entry (null for an index out of range).
    QWidget* Page(int index) const;
    CSkinButton* Button(int index) const;
    // Where the shown page goes: right of the strip, 2 pixels inside the page area.
    QRect PageRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    struct Entry {
        QString caption;
        QPointer<QWidget> page;  // not owned
        CSkinButton* button = nullptr;  // a child of the bar
        int id = 0;
    };
    void LayoutButtons();

    COLORREF m_stripColour = SysColour::BtnFace;
    int m_cell = kCellSize;
    COLORREF m_pageColour = SysColour::Window;
    COLORREF m_frameColour = kDefaultFrameColour;
    std::vector<Entry> m_pages;
    int m_selection = -1;
    int m_added = 0;
    bool m_transparent = false;
    CParentPixels m_parentPixels;  // what the parent paints under the bar, while transparent
};
