#pragma once
// A program folder with a real user store and the real device library watching the folder's
// USB/ port; its messages reach a device link as the main window hands them over. The shell
// records balloons, tray images and hand-overs; dialogs run through per-class scripts and
// message boxes are recorded and answered.

#include "core/MainWindowApi.h"
#include "device/DeviceLink.h"
#include "external/usb/PedometerFile.h"
#include "tests/support/ProgramFolder.h"
#include "tests/support/TestDialogs.h"

#include <QIcon>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct FakeShell : IMainWindow {
    bool userPage = false;
    int userPagesShown = 0;
    int createUserCalls = 0;
    std::function<void()> onCreateUser;
    std::vector<std::pair<QString, QString>> balloons;  // title, text
    std::vector<int> balloonTimeouts;
    QIcon trayImage;
    int trayImages = 0;

    void ShowUserPages(const UserRecord&, const QString&) override { ++userPagesShown; }
    void ShowLoginPage() override {}
    bool HasUserPage() const override { return userPage; }
    bool HasTrayIcon() const override { return true; }
    void SetTrayImage(const QIcon& icon) override
    {
        trayImage = icon;
        ++trayImages;
    }
    void ShowTrayBalloon(const QString& title, const QString& text, int timeoutMs) override
    {
        balloons.emplace_back(title, text);
        balloonTimeouts.push_back(timeoutMs);
    }
    void CreateUserForDevice() override
    {
        ++createUserCalls;
        if (onCreateUser)
            onCreateUser();
    }
};

// Records each message box's default button too.
class RecordingDialogs : public TestDialogService {
public:
    std::vector<QMessageBox::StandardButton> defaults;
    int MessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                   QMessageBox::StandardButton defaultButton) override
    {
        defaults.push_back(defaultButton);
        return TestDialogService::MessageBox(parent, text, buttons, icon, defaultButton);
    }
};

class DeviceTest : public ProgramFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the device library on the port with a device link behind it.
    void StartDevices();
    QString Port() const { return PathOf(QStringLiteral("USB/")); }
    // A pedometer holding id, a profile and days from 2024-03-01 on.
    static PedometerFile Pedometer(int32_t id, int days, uint32_t seed = 3);
    void Plug(const PedometerFile& f, const QString& name = QStringLiteral("p.ped"));
    void Unplug(const QString& name = QStringLiteral("p.ped"));
    PedometerFile OnDisk(const QString& name = QStringLiteral("p.ped"));
    bool WaitForArrival();
    bool WaitForRemoval();
    // Pulls the pedometer out and plugs f in, forgetting the dialogs opened so far.
    bool Replug(const PedometerFile& f);
    // Until a dialog has been opened.
    bool WaitForDialog();

    // A user in the store.
    void AddUser(int number, const std::string& name, int sex = 1, int height = 170, int weight = 60, int rights = 0);
    // Days of the pedometer that the store holds for a user.
    int StoredDays(int number, const PedometerFile& f);

    // Scripts for dialogs by class name; a dialog without one ends with -1.
    template <class Dlg>
    void OnDialog(std::function<int(Dlg&)> script)
    {
        m_scripts[Dlg::staticMetaObject.className()] = [script](QDialog& d) { return script(static_cast<Dlg&>(d)); };
    }
    // Runs a dialog modally with the script acting inside its loop once it shows.
    static int ExecWith(QDialog& dialog, const std::function<void()>& script);

    RecordingDialogs m_dialogs;
    QStringList m_opened;  // class names of the dialogs run, in order
    FakeShell m_shell;
    std::unique_ptr<CDeviceLink> m_link;
    int m_arrivals = 0, m_removals = 0, m_blanks = 0;

private:
    std::map<std::string, std::function<int(QDialog&)>> m_scripts;
    std::unique_ptr<QObject> m_window;  // stands for the main window: hands messages to the link
};

// Clicks a control found by number.
void ClickItem(QWidget* dialog, int id);
