#pragma once
// The Wine tests' common ground: the test run's Wine prefix (made before the first of them by
// prefix.sh, with its wineserver kept alive), the Windows build of the test serializer, and
// Wine's own tools run in that prefix.
//
// A WineSession points WINEPREFIX at that prefix (after the test's TempTree has pointed it at
// its empty one), sets WINEDEBUG=-all and VELTRANE_WINE (the given one, else "wine"), and
// restores them when it goes.

#include "support/ScopedEnv.h"

#include <QByteArray>
#include <QString>
#include <QStringList>


class WineSession {
public:
    WineSession();
    ~WineSession();
    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;

    // "" when Wine, the prefix and the Windows serializer are all there, else what is missing.
    QString missing() const;

    static QString prefix();
    // The Windows serz.exe built with mingw-w64.
    static QString windowsSerzPath();
    // Copies it into folder as "serz.exe" (creating the folder).
    static bool installWindowsSerz(const QString& folder);

    // Runs wine (or the wineserver beside it) with the arguments in the prefix, its output
    // thrown away. The exit status; -1 when it did not start or end within a minute.
    int wine(const QStringList& arguments) const;
    int wineserver(const QStringList& arguments) const;

    // Ends the wineserver, so that the registry is written to system.reg and user.reg, and starts
    // it again, persistent, with the prefix's services (started here, so that they never hold
    // the output of a later child of the test). True when all went well.
    bool restartServer() const;

private:
    int run(const QString& program, const QStringList& arguments) const;
    ScopedEnvList env_;
};

// Makes a drive letter of the prefix ("d") a link to folder while it lives; an earlier link of
// that letter comes back afterwards.
class WineDrive {
public:
    WineDrive(char letter, const QString& folder);
    ~WineDrive();
    bool ok() const { return ok_; }

private:
    QString link_;
    QString previous_;
    bool ok_ = false;
};
