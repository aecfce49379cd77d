#pragma once
// A page's keyboard focus from the first moment: a window whose native window was remade while
// it had the focus (the main window changing its frame for a new page) keeps the desktop's focus,
// yet its widgets no longer count it as active: no focus frame and no Tab until another window has
// come and gone. Call once the page has shown itself (a queued call from showEvent).

#include <QApplication>
#include <QWidget>
#include <QWindow>

// Brings the page's window back in line with the desktop's focus, then gives `first` the focus
// unless a control of the page has it already.
inline void ShowPageFocus(QWidget* page, QWidget* first)
{
    QWidget* w = page->window();
    if (QGuiApplication::focusWindow() && QGuiApplication::focusWindow() == w->windowHandle() &&
        QApplication::activeWindow() != w)
        QApplication::setActiveWindow(w);
    if (first && !page->isAncestorOf(w->focusWidget()))
        first->setFocus(Qt::OtherFocusReason);
}
