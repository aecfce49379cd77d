#include "charts/SetPropertySheet.h"

#include "charts/DayDetailDlg.h"
#include "controls/ColourCombo.h"
#include "core/DeviceChoice.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/Paths.h"
#include "core/StringTable.h"
#include "external/records/Records.h"
#include "res/resource.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A label's text as a control's accessible name: without the colon and the mnemonic.
QString NameOfLabel(const QString& text)
{
    QString name = text;
    name.remove(QLatin1Char('&'));
    while (name.endsWith(QStringLiteral("：")) || name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

}  // namespace

void CPropertyPage::SetModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit ModifiedChanged(modified);
}

// ---- chart colours ------------------------------------------------------------

CSetPropertyPage2::CSetPropertyPage2(QWidget* parent) : CPropertyPage(parent)
{
    auto* group = new QGroupBox(this);
    SetCtrlId(group, IDC_COLOUR_GROUP);
    auto* grid = new QGridLayout(group);
    struct Row {
        int labelId, comboId;
        bool sorted;
        CColourCombo** combo;
    };
    const Row rows[] = {
        {IDC_LABEL_LIMIT_COLOUR, IDC_LIMIT_COLOUR, false, &m_limitCombo},
        {IDC_LABEL_CURSOR_COLOUR, IDC_CURSOR_COLOUR, true, &m_cursorCombo},
        {IDC_LABEL_CURVE_COLOUR, IDC_CURVE_COLOUR, true, &m_curveCombo},
    };
    int r = 0;
    for (const Row& row : rows) {
        auto* label = new QLabel(group);
        SetCtrlId(label, row.labelId);
        label->setTextFormat(Qt::PlainText);
        auto* combo = new CColourCombo(group, row.sorted);
        SetCtrlId(combo, row.comboId);
        combo->setMinimumWidth(150);
        label->setBuddy(combo);
        grid->addWidget(label, r, 0);
        grid->addWidget(combo, r, 1);
        *row.combo = combo;
        ++r;
    }
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    ApplyDialogTexts(this, IDD_SET_PAGE_CHART);
    for (const Row& row : rows) {
        const auto* label = GetDlgItemAs<QLabel>(this, row.labelId);
        (*row.combo)->setAccessibleName(NameOfLabel(label->text()));
    }
    setMinimumSize(310, 200);  // dialog 175: 205 × 160 dialog units
}

void CSetPropertyPage2::OnInitDialog()
{
    const std::pair<CColourCombo*, uint32_t> combos[] = {
        {m_limitCombo, m_limitColour}, {m_cursorCombo, m_cursorColour}, {m_curveCombo, m_curveColour}};
    for (const auto& [combo, colour] : combos) {
        combo->InitColours();
        combo->setCurrentIndex(-1);  // a colour not in the list leaves nothing selected
        combo->SetSelectedColour(colour);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { SetModified(); });
    }
}

bool CSetPropertyPage2::OnApply()
{
    m_limitColour = m_limitCombo->GetSelectedColour();
    m_cursorColour = m_cursorCombo->GetSelectedColour();
    m_curveColour = m_curveCombo->GetSelectedColour();
    return true;
}

// ---- pedometer ------------------------------------------------------------------

CSetPropertyPagePedometer::CSetPropertyPagePedometer(int userNumber, QWidget* parent)
    : CPropertyPage(parent), m_userNumber(userNumber)
{
    auto* group = new QGroupBox(LoadStr(721), this);
    auto* grid = new QGridLayout(group);
    auto* caption = new QLabel(LoadStr(722), group);
    caption->setTextFormat(Qt::PlainText);
    m_choice = new QLabel(group);
    m_choice->setTextFormat(Qt::PlainText);
    m_choice->setAccessibleName(NameOfLabel(LoadStr(722)));
    caption->setBuddy(m_choice);
    m_forgetButton = new QPushButton(LoadStr(724), group);
    m_note = new QLabel(LoadStr(725), group);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    m_note->hide();
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_choice, 0, 1);
    grid->addWidget(m_forgetButton, 1, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(m_note, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    connect(m_forgetButton, &QPushButton::clicked, this, &CSetPropertyPagePedometer::OnForget);
}

QString CSetPropertyPagePedometer::ChoiceText(int choice)
{
    // The device-found dialog's own captions for its three actions.
    switch (choice) {
    case 1: return LoadDlgText(IDD_DEVICE_FOUND, IDC_FOUND_NOTHING);
    case 2: return LoadDlgText(IDD_DEVICE_FOUND, IDC_FOUND_LOGIN);
    case 3: return LoadDlgText(IDD_DEVICE_FOUND, IDC_FOUND_READ);
    default: return LoadStr(723);
    }
}

void CSetPropertyPagePedometer::OnInitDialog()
{
    const int choice = RememberedDeviceChoice(m_userNumber);
    m_choice->setText(ChoiceText(choice));
    m_forgetButton->setEnabled(choice != 0);
}

void CSetPropertyPagePedometer::OnForget()
{
    m_forget = true;
    m_choice->setText(ChoiceText(0));
    m_note->show();
    m_forgetButton->setEnabled(false);
    SetModified();
}

bool CSetPropertyPagePedometer::OnApply()
{
    if (!m_forget)
        return true;
    if (!ForgetDeviceChoice(m_userNumber)) {
        ShowMessageBox(this, ReplaceR(LoadStr(727), QDir::toNativeSeparators(UserDeviceChoicePath(m_userNumber))));
        return false;
    }
    m_forget = false;
    m_note->hide();
    return true;
}

// ---- the sheet --------------------------------------------------------------------

CSetPropertySheet::CSetPropertySheet(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(LoadStr(173));
    m_tabs = new QTabWidget(this);
    m_buttons = new QDialogButtonBox(this);
    QPushButton* ok = m_buttons->addButton(LoadStr(737), QDialogButtonBox::AcceptRole);
    SetCtrlId(ok, IDOK);
    ok->setDefault(true);
    SetCtrlId(m_buttons->addButton(LoadStr(738), QDialogButtonBox::RejectRole), IDCANCEL);
    m_apply = m_buttons->addButton(LoadStr(739), QDialogButtonBox::ApplyRole);
    m_apply->setEnabled(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        if (ApplyPages())
            accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_apply, &QPushButton::clicked, this, &CSetPropertySheet::ApplyPages);
}

void CSetPropertySheet::AddPage(CPropertyPage* page, const QString& title)
{
    m_pages.push_back(page);
    m_tabs->addTab(page, title);
    connect(page, &CPropertyPage::ModifiedChanged, this, &CSetPropertySheet::UpdateApply);
}

int CSetPropertySheet::DoModal()
{
    for (CPropertyPage* page : m_pages) {
        page->OnInitDialog();
        page->SetModified(false);
    }
    UpdateApply();
    return RunModal(*this);
}

bool CSetPropertySheet::ApplyPages()
{
    // Every page applies, modified or not: OK takes what the controls show.
    for (CPropertyPage* page : m_pages) {
        if (!page->OnApply())
            return false;
        page->SetModified(false);
    }
    emit Applied();
    return true;
}

void CSetPropertySheet::UpdateApply()
{
    bool any = false;
    for (const CPropertyPage* page : m_pages)
        any = any || page->IsModified();
    m_apply->setEnabled(any);
}

// ---- the settings command ------------------------------------------------------------

int RunChartSettings(QWidget* parent, CDayDetailDlg& page)
{
    if (!page.GetChart())
        return QDialog::Rejected;
    const int user = g_pLoginUser ? g_pLoginUser->number : page.GetUser() ? page.GetUser()->number : 0;
    // The sheet belongs to the main window: the chart page may go while it is open (a
    // pedometer's owner logging in), the main window does not.
    QPointer<CDayDetailDlg> chartPage(&page);
    QPointer<QWidget> owner(parent ? parent->window() : nullptr);
    QPointer<CSetPropertySheet> sheet = new CSetPropertySheet(owner);
    auto* colours = new CSetPropertyPage2;
    const ChartColours current = page.GetChartColours();
    colours->m_limitColour = current.limit;
    colours->m_cursorColour = current.cursor;
    colours->m_curveColour = current.curve;
    sheet->AddPage(colours, LoadDlgText(IDD_SET_PAGE_CHART, 0));
    if (user > 0)
        sheet->AddPage(new CSetPropertyPagePedometer(user), LoadStr(720));
    // Apply shows the colours on the chart at once.
    QObject::connect(sheet, &CSetPropertySheet::Applied, sheet, [chartPage, colours] {
        if (chartPage)
            chartPage->SetChartColours(colours->Colours());
    });

    const int result = sheet->DoModal();
    if (!sheet)
        return QDialog::Rejected;
    const ChartColours chosen = colours->Colours();
    sheet->deleteLater();
    if (chartPage)
        chartPage->SetChartColours(chosen);
    if (user > 0) {
        const QString ini = UserGraphIniPath(user);
        if (!WriteGraphColours(ini, chosen))
            ShowMessageBox(owner, ReplaceR(LoadStr(726), QDir::toNativeSeparators(ini)));
    }
    return result;
}
