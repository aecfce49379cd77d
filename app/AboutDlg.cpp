#include "app/AboutDlg.h"

#include "app/StoreRecovery.h"
#include "core/DialogService.h"
#include "core/DlgItem.h"
#include "core/Globals.h"
#include "core/SkinSections.h"
#include "core/StringTable.h"
#include "external/records/Records.h"
#include "res/resource.h"

#include <QApplication>
#include <QDir>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent, const QString& connection) : QDialog(parent), m_connection(connection)
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
    // Where the accounts and days are kept, so a person can back them up or find them.
    auto* folder = new QLabel(LoadStr(867) + QLatin1Char(' ') + QDir::toNativeSeparators(DataFolder()), this);
    folder->setObjectName(QStringLiteral("dataFolder"));
    folder->setTextFormat(Qt::PlainText);
    folder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folder->setWordWrap(true);
    folder->setMaximumWidth(420);
    QPushButton* restore = nullptr;
    if (!m_connection.isEmpty() && g_pLoginUser && g_pLoginUser->rights == 1) {
        restore = new QPushButton(LoadStr(868), this);
        restore->setObjectName(QStringLiteral("restore"));
        restore->setAccessibleName(restore->text());
        connect(restore, &QPushButton::clicked, this, [this] {
            CRestoreDlg dlg(m_connection, this);
            const int result = RunModal(dlg);
            if (result == QDialog::Accepted)
                m_restore = Restore::Restored;
            else if (result == CRestoreDlg::kStoreLost)
                m_restore = Restore::StoreLost;
            if (m_restore != Restore::None)
                accept();
        });
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
    if (restore)
        buttons->addWidget(restore);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    if (skinNote)
        layout->addWidget(skinNote);
    layout->addWidget(folder);
    layout->addLayout(buttons);
    layout->setContentsMargins(16, 16, 16, 12);

    ApplyDialogTexts(this, IDD_ABOUTBOX);
    ApplyDialogSkin(this);
    setFixedSize(sizeHint().expandedTo(QSize(260, 0)));
}
