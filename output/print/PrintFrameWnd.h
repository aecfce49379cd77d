#pragma once
// The print preview of the chart page: a maximised window of its own in place of the main
// window, showing the printed page, with Print (the system print dialog, page 1; a PDF file
// through its "print to file"), zoom and Close. Closing it shows the main window again and
// never ends the program.
//
// Use: RunChartPrint(mainWindow, chartPage) from the toolbar's print command.

#include "output/print/PrintView.h"

#include <QPointer>
#include <QPrinter>
#include <QWidget>

class CDayDetailDlg;
class QPrintPreviewWidget;

class CPrintFrameWnd : public QWidget {
    Q_OBJECT
public:
    // A window of its own (no parent) that deletes itself when closed.
    CPrintFrameWnd(QWidget* oldMainWindow, CChartWnd* chart, CSkinListCtrl* list, PrintHeader header);
    ~CPrintFrameWnd() override;
    CPrintFrameWnd(const CPrintFrameWnd&) = delete;
    CPrintFrameWnd& operator=(const CPrintFrameWnd&) = delete;

    // Shows itself maximised in place of the old main window (which it hides) with the
    // preview; false when there is no printer to preview for.
    bool Start();

    // The preview's Print command: the system print dialog, then page 1 is printed; the
    // preview stays open.
    void Print();
    QPrintPreviewWidget* Preview() const { return m_preview; }
    QPrinter& Printer() { return m_printer; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void PaintPage(QPrinter* printer);
    void RestoreMainWindow();

    QPrinter m_printer;
    CPrintView m_view;
    QPointer<QWidget> m_oldMainWindow;
    QByteArray m_oldGeometry;
    QPrintPreviewWidget* m_preview = nullptr;
};

// The toolbar's print command: asks colour or black and white (dialog 155, starting from the
// page's last choice); on OK the chart and the page keep the choice and the preview opens.
// Returns the preview window, or null after Cancel or when the preview cannot start.
CPrintFrameWnd* RunChartPrint(QWidget* parent, CDayDetailDlg& page);
