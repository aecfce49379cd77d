#include "output/print/PrintFrameWnd.h"

#include "charts/DayDetailDlg.h"
#include "output/print/PrintSetDlg.h"
#include "core/DialogService.h"
#include "core/StringTable.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QKeySequence>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
// A window shown again is placed by the desktop's window manager first; it goes back to where
// it was after that.
constexpr int kPlacedAfterMs = 200;
}  // namespace

CPrintFrameWnd::CPrintFrameWnd(QWidget* oldMainWindow, CChartWnd* chart, CSkinListCtrl* list, PrintHeader header)
    : QWidget(nullptr, Qt::Window), m_printer(QPrinter::HighResolution), m_view(chart, list, std::move(header)),
      m_oldMainWindow(oldMainWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the preview hands the window back; it is never the program's last window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(LoadStr(161));
    if (m_oldMainWindow)
        setWindowIcon(m_oldMainWindow->windowIcon());
    setGeometry(200, 200, 300, 300);

    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setAccessibleName(LoadStr(161));
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &CPrintFrameWnd::PaintPage);

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](int text, const QKeySequence& key, auto slot) {
        QAction* a = tools->addAction(LoadStr(text));
        a->setShortcut(key);
        a->setToolTip(QStringLiteral("%1 (%2)").arg(LoadStr(text), key.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(729, QKeySequence::Print, [this] { Print(); });
    tools->addSeparator();
    add(731, QKeySequence::ZoomIn, [this] { m_preview->zoomIn(); });
    add(732, QKeySequence::ZoomOut, [this] { m_preview->zoomOut(); });
    add(733, QKeySequence(Qt::CTRL | Qt::Key_1), [this] { m_preview->fitToWidth(); });
    add(734, QKeySequence(Qt::CTRL | Qt::Key_0), [this] { m_preview->fitInView(); });
    tools->addSeparator();
    add(730, QKeySequence(Qt::Key_Escape), [this] { close(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tools);
    layout->addWidget(m_preview, 1);
}

bool CPrintFrameWnd::Start()
{
    if (!m_printer.isValid())
        return false;
    showMaximized();
    if (m_oldMainWindow) {
        m_oldGeometry = m_oldMainWindow->saveGeometry();
        m_oldMainWindow->hide();
    }
    m_preview->fitInView();  // the whole page first
    m_preview->setFocus();
    return true;
}

CPrintFrameWnd::~CPrintFrameWnd()
{
    RestoreMainWindow();
}

void CPrintFrameWnd::RestoreMainWindow()
{
    if (!m_oldMainWindow)
        return;
    m_oldMainWindow->show();
    if (!m_oldGeometry.isEmpty()) {
        // Where it was, not where the desktop places a window shown anew (once it is mapped).
        QTimer::singleShot(kPlacedAfterMs, m_oldMainWindow, [window = m_oldMainWindow, geometry = m_oldGeometry] {
            if (window)
                window->restoreGeometry(geometry);
        });
    }
    m_oldMainWindow->raise();
    m_oldMainWindow->activateWindow();
    m_oldMainWindow = nullptr;
}

void CPrintFrameWnd::closeEvent(QCloseEvent* event)
{
    // The main window is back before this one goes, so there is always a window shown.
    RestoreMainWindow();
    event->accept();
}

void CPrintFrameWnd::PaintPage(QPrinter* printer)
{
    QPainter p;
    if (!p.begin(printer)) {
        const QString where = printer->outputFileName().isEmpty() ? printer->printerName()
                                                                  : QDir::toNativeSeparators(printer->outputFileName());
        ShowMessageBox(this, ReplaceR(LoadStr(736), where));
        return;
    }
    m_view.Print(p, *printer);
}

void CPrintFrameWnd::Print()
{
    QPrintDialog dialog(&m_printer, this);
    // One page: page 1 is what is printed.
    dialog.setMinMax(1, 1);
    dialog.setFromTo(1, 1);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (RunModal(dialog) != QDialog::Accepted)
        return;
    m_preview->print();
    // The dialog may have changed the paper or the printer: the preview follows.
    m_preview->updatePreview();
}

CPrintFrameWnd* RunChartPrint(QWidget* parent, CDayDetailDlg& page)
{
    CChartWnd* chart = page.GetChart();
    if (!chart)
        return nullptr;
    QPointer<CDayDetailDlg> chartPage(&page);
    QPointer<QWidget> mainWindow(parent ? parent->window() : nullptr);
    int colour = page.GetPrintColour();
    {
        CPrintSetDlg dialog(colour, mainWindow);
        if (RunModal(dialog) != QDialog::Accepted)
            return nullptr;
        colour = dialog.m_colour;
    }
    if (!chartPage || !chartPage->GetChart())
        return nullptr;  // the page went while the dialog was open
    chartPage->GetChart()->SetPrintInColour(colour == 1);
    chartPage->SetPrintColour(colour);
    // A window of its own, deleted when closed.
    auto* frame = new CPrintFrameWnd(mainWindow, chartPage->GetChart(), chartPage->GetDayList(), PrintHeaderOf(*chartPage));
    if (!frame->Start()) {
        frame->deleteLater();
        ShowMessageBox(mainWindow, LoadStr(735));
        return nullptr;
    }
    return frame;
}
