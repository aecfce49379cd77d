#include "app/StepApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the main window hides into the tray
    CStepApp theApp;
    return theApp.Run();
}
