#pragma once
// The settings sheet of the toolbar's settings command: the chart colours page (dialog 175)
// and the pedometer page (the logged-in user's remembered choice for a plugged-in pedometer).
//
// Use: RunChartSettings(mainWindow, chartPage). The sheet starts from the chart's current
// colours; when it closes, whatever the result, the chart gets the page's colours and they
// are written to the user's Graph.ini (one message when that fails: they apply until the
// next login).

#include "charts/GraphSettings.h"

#include <QDialog>
#include <QWidget>

#include <vector>

class CColourCombo;
class CDayDetailDlg;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTabWidget;

// A page of a settings sheet: a change marks it modified (enabling Apply); Apply and OK
// call OnApply on every page.
class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Fills the page from its values, once, before the sheet shows it.
    virtual void OnInitDialog() {}
    // Takes the controls' state into the page's values; false keeps the sheet open.
    virtual bool OnApply() { return true; }
    void SetModified(bool modified = true);
    bool IsModified() const { return m_modified; }

signals:
    void ModifiedChanged(bool modified);

private:
    bool m_modified = false;
};

// Dialog 175: the colours of the reference lines (1084), the position line (1085) and the
// axes and curve (1086).
class CSetPropertyPage2 : public CPropertyPage {
    Q_OBJECT
public:
    explicit CSetPropertyPage2(QWidget* parent = nullptr);

    void OnInitDialog() override;
    bool OnApply() override;
    ChartColours Colours() const { return {m_curveColour, m_limitColour, m_cursorColour}; }

    uint32_t m_limitColour = 0;
    uint32_t m_cursorColour = 0;
    uint32_t m_curveColour = 0;

private:
    CColourCombo* m_limitCombo = nullptr;
    CColourCombo* m_cursorCombo = nullptr;
    CColourCombo* m_curveCombo = nullptr;
};

// The pedometer page: what the device-found dialog does for this user without asking, and a
// button to forget it (done on Apply or OK).
class CSetPropertyPagePedometer : public CPropertyPage {
    Q_OBJECT
public:
    explicit CSetPropertyPagePedometer(int userNumber, QWidget* parent = nullptr);

    void OnInitDialog() override;
    bool OnApply() override;
    // The text of a remembered choice (0: none).
    static QString ChoiceText(int choice);

private:
    void OnForget();

    int m_userNumber;
    bool m_forget = false;
    QLabel* m_choice = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_forgetButton = nullptr;
};

// The sheet: caption string 173, tabs, OK, Cancel and Apply (no Help).
class CSetPropertySheet : public QDialog {
    Q_OBJECT
public:
    explicit CSetPropertySheet(QWidget* parent = nullptr);

    // The sheet takes the page.
    void AddPage(CPropertyPage* page, const QString& title);
    // Initialises the pages and runs the sheet modally; the dialog's result.
    int DoModal();
    QPushButton* ApplyButton() const { return m_apply; }

signals:
    // Apply (or OK) took the pages' controls into their values.
    void Applied();

private:
    bool ApplyPages();
    void UpdateApply();

    QTabWidget* m_tabs = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QPushButton* m_apply = nullptr;
    std::vector<CPropertyPage*> m_pages;
};

// The toolbar's settings command on the chart page; returns the sheet's result. The user is
// the logged-in one (the page's own user when nobody is logged in).
int RunChartSettings(QWidget* parent, CDayDetailDlg& page);
