#pragma once
// travimo-store: backs up, checks, lists and restores the user store of a data folder, for a
// person looking after someone else's installation.

#include <QString>
#include <QStringList>

class QTextStream;

// Runs one command (args without the program name); returns the exit status: 0 done (check: the
// store is sound), 1 failed (check: the store is not sound), 2 wrong usage. defaultFolder is the
// data folder used without --folder.
int RunStoreTool(const QStringList& args, const QString& defaultFolder, QTextStream& out, QTextStream& err);
