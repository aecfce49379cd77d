#pragma once
// A dialog service for tests: installed for its lifetime, it can answer message boxes (recording
// their texts), run dialogs through a script instead of a person, and say whether there is a tray.

#include "core/DialogService.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <optional>

class TestDialogService : public CDialogService {
public:
    TestDialogService() { SetDialogService(this); }
    ~TestDialogService() override { SetDialogService(nullptr); }
    TestDialogService(const TestDialogService&) = delete;
    TestDialogService& operator=(const TestDialogService&) = delete;

    // When set, message boxes are recorded in `messages` and answered with it; else they are shown.
    std::optional<int> boxAnswer;
    QStringList messages;
    // When set, runs a dialog instead of its modal loop and gives its result.
    std::function<int(QDialog&)> runDialog;
    // When set, the answer to "is there a notification area".
    std::optional<bool> trayAvailable;
    // When set, answers save-file dialogs instead of a person: it gets the suggested path, the
    // filters and the filter chosen first (which it may change) and returns the path typed
    // (empty: cancelled). Every suggested path is recorded in `savePrompts`.
    std::function<QString(const QString& suggested, const QStringList& filters, int& filterIndex)> saveFileName;
    QStringList savePrompts;

    int RunModal(QDialog& dialog) override { return runDialog ? runDialog(dialog) : CDialogService::RunModal(dialog); }
    int MessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                   QMessageBox::StandardButton defaultButton) override
    {
        if (!boxAnswer)
            return CDialogService::MessageBox(parent, text, buttons, icon, defaultButton);
        messages << text;
        return *boxAnswer;
    }
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& suggested, const QStringList& filters,
                         int* filterIndex) override
    {
        if (!saveFileName)
            return CDialogService::SaveFileName(parent, caption, suggested, filters, filterIndex);
        savePrompts << suggested;
        int index = filterIndex ? *filterIndex : 0;
        const QString path = saveFileName(suggested, filters, index);
        if (filterIndex)
            *filterIndex = index;
        return path;
    }
    bool SystemTrayAvailable() override
    {
        return trayAvailable ? *trayAvailable : CDialogService::SystemTrayAvailable();
    }
};
