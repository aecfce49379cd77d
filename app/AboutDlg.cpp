#include "app/AboutDlg.h"

#include "core/DlgItem.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "res/resource.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    auto* icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("Travimo v2.0 版"), this);
    SetCtrlId(text, IDC_ABOUT_VERSION);
    // The one place that keeps saying a skin was incomplete (the tray says it once at start-up).
    QLabel* skinNote = nullptr;
    if (!MissingSkinPieces().isEmpty()) {
        skinNote = new QLabel(LoadStr(802), this);
        skinNote->setObjectName(QStringLiteral("skinNote"));
        skinNote->setTextFormat(Qt::PlainText);
        skinNote->setWordWrap(true);
        skinNote->setMaximumWidth(320);
    }
    auto* ok = new QPushButton(this);
    SetCtrlId(ok, IDOK);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    if (skinNote)
        layout->addWidget(skinNote);
    layout->addLayout(buttons);
    layout->setContentsMargins(16, 16, 16, 12);

    ApplyDialogTexts(this, IDD_ABOUTBOX);
    ApplyDialogSkin(this);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
}
