#pragma once
// travimo-pedometer: creates, shows, edits, plugs and unplugs virtual pedometers.

#include <QString>
#include <QStringList>

class QTextStream;

// Runs one command (args without the program name); returns the exit status:
// 0 done, 1 failed, 2 wrong usage. defaultPort is the port folder used without --port.
int RunPedometerTool(const QStringList& args, const QString& defaultPort, QTextStream& out, QTextStream& err);

// The help text (all commands, or one).
QString PedometerToolHelp(const QString& command = QString());
