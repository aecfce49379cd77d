#include "output/print/PrintSetDlg.h"

#include "core/DlgItem.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CPrintSetDlg::CPrintSetDlg(int colour, QWidget* parent) : QDialog(parent), m_colour(colour)
{
    auto* group = new QGroupBox(this);
    SetCtrlId(group, IDC_COLOUR_GROUP);
    m_mono = new QRadioButton(group);
    SetCtrlId(m_mono, IDC_PRINT_MONO);
    m_inColour = new QRadioButton(group);
    SetCtrlId(m_inColour, IDC_PRINT_COLOUR);
    auto* radios = new QButtonGroup(this);
    radios->addButton(m_mono, 0);
    radios->addButton(m_inColour, 1);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_mono);
    groupLayout->addWidget(m_inColour);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    SetCtrlId(ok, IDOK);
    ok->setDefault(true);
    SetCtrlId(buttons->addButton(QString(), QDialogButtonBox::RejectRole), IDCANCEL);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        DataExchange(true);
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
    layout->addWidget(buttons);
    ApplyDialogTexts(this, IDD_PRINT_SET);
    setMinimumSize(300, 180);  // dialog 155: 200 × 130 dialog units
    DataExchange(false);
}

void CPrintSetDlg::DataExchange(bool save)
{
    if (save) {
        m_colour = m_inColour->isChecked() ? 1 : 0;
        return;
    }
    (m_colour == 1 ? m_inColour : m_mono)->setChecked(true);
}
