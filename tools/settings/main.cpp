// veltrane-settings: puts a game folder into the program's settings file, as ./run does before
// it starts the program.
//
//   veltrane-settings PREFERENCES GAMEFOLDER
//
// An existing record keeps every other field; with no file a new record is made. The record is
// written in the program's own ANSI code page and replaces the file only when it is whole. A
// folder the code page cannot hold is refused: the file stays as it was, a message goes to
// standard error and the exit status is 1; 2 when the file cannot be written.

#include "hub/Preferences.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

void say(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        say(QStringLiteral("usage: veltrane-settings PREFERENCES GAMEFOLDER"));
        return 2;
    }
    const QString& path = args[0];
    PreferencesRecord rec;
    if (QFileInfo::exists(path)) {
        if (ReadPreferences(path, rec) < 0) {
            say(QStringLiteral("The settings file ") + path + QStringLiteral(" could not be read."));
            return 2;
        }
    } else {
        // A first start: the main window's size and place, in twips.
        rec.Width = 16800;
        rec.Height = 12600;
        rec.Top = 600;
        rec.Left = 1200;
    }
    rec.GamePath = args[1];
    QString unwritable;
    if (WritePreferences(path, rec, &unwritable))
        return 0;
    say(PreferencesNotWrittenMessage(path, unwritable));
    return unwritable.isNull() ? 2 : 1;
}
