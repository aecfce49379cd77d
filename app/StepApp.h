#pragma once
// The application object: single-instance guard, program paths, language, skin
// name, and the modal run of the main window.

#include <memory>

class CInstanceGuard;

// Exit statuses of the program.
constexpr int kExitOk = 0;
constexpr int kExitFatalError = 1;            // the main window could not start ("Error: ...")
constexpr int kExitOtherCopyNotAnswering = 2; // a copy of this session lives but can't be reached

class CStepApp {
public:
    CStepApp();
    ~CStepApp();
    CStepApp(const CStepApp&) = delete;
    CStepApp& operator=(const CStepApp&) = delete;

    // Start-up, modal main window, clean-up; returns the process exit status.
    int Run();

    // Everything before the main window: false means this copy ends (with ExitStatus()).
    bool InitInstance();
    int ExitInstance();
    int ExitStatus() const { return m_exitStatus; }

    // Runs the main window modally to its end: kExitFatalError when it could not start.
    static int RunMainWindow();

private:
    std::unique_ptr<CInstanceGuard> m_guard;
    int m_exitStatus = kExitOk;
};
