#include "packaging/AssetFolderPackage.h"

#include "common/Vb.h"
#include "common/VbError.h"
#include "packaging/PackageCommon.h"

namespace packaging {

PackagedFolder PackagedFolderOf(const QString& gamePath, const QString& clicked)
{
    const QString below = gamePath.isEmpty() ? QString() : PathBelowOnDisk(gamePath, clicked);
    if (below.isEmpty())
        return {clicked, QString()};
    return {gamePath + QLatin1Char('\\') + below, QStringLiteral("Rail Simulator\\") + below};
}

QString FolderCopyLine(const QString& folder, const QString& programFolder, const QString& packageFolder,
                       const QString& relPath)
{
    const QChar quote(QLatin1Char('"'));
    return QStringLiteral("call Xcopy ") + quote + folder + QStringLiteral("\\*.*") + quote + QLatin1Char(' ')
           + quote + programFolder + QLatin1Char('\\') + packageFolder + QLatin1Char('\\') + relPath
           + QStringLiteral("\\*.*") + quote + QStringLiteral(" /I /C /S\r\n");
}

QString AssetSetupLine(const QString& folder)
{
    const qsizetype at = folder.indexOf(QStringLiteral("Assets\\"), 0, Qt::CaseInsensitive);
    if (at < 0)
        throw VbError(5);
    const QString s = folder.mid(at);
    const qsizetype a = s.indexOf(QLatin1Char('\\'), 7);
    const qsizetype b = a < 0 ? -1 : s.indexOf(QLatin1Char('\\'), a + 1);
    return b < 0 ? s : s.left(b);
}

QString RouteFolderOfEntry(const QString& relEntry)
{
    const qsizetype at = relEntry.lastIndexOf(QStringLiteral("\\Scenarios"), -1, Qt::CaseInsensitive);
    if (at < 0)
        return QString();
    const QString route = relEntry.left(at);
    return route.mid(route.lastIndexOf(QLatin1Char('\\')) + 1);
}

namespace {

// VB's assignment of a computed number to a whole-number property: halves to the even one.
int whole(double value)
{
    return int(vb::CLng(value));
}

} // namespace

Folder3Layout Folder3Design()
{
    Folder3Layout l;
    l.Drive1 = {200, 250, 0, 315};
    l.Text2 = {200, 0, 0, 315};
    l.Dir1 = {0, 250, 0, 0};
    l.File1 = {0, 0, 0, 0};
    l.Text1 = {0, 250, 0, 315};
    l.List1 = {0, 250, 0, 0};
    l.Text3 = {0, 250, 0, 315};
    l.Command1 = {0, 250, 1695, 495};
    l.Command4 = {0, 2050, 1695, 495};
    l.Command3 = {0, 3850, 1695, 495};
    l.Command2 = {0, 5650, 1695, 495};
    LayOutFolder3(Folder3DesignWidth, Folder3DesignHeight, l);
    return l;
}

void LayOutFolder3(int windowWidth, int windowHeight, Folder3Layout& l)
{
    const double W = windowWidth;
    const double H = windowHeight;
    l.Drive1.Left = 250;
    l.Drive1.Top = 200;
    setTwipsSize(l.Drive1.Width, whole(W / 2 - 500));

    l.Text2.Left = l.Drive1.Left + l.Drive1.Width + 150;
    l.Text2.Top = l.Drive1.Top;
    l.Text2.Width = l.Drive1.Width;
    l.Text2.Height = l.Drive1.Height;

    l.Dir1.Left = l.Drive1.Left;
    l.Dir1.Top = l.Drive1.Top + l.Drive1.Height + 100;
    l.Dir1.Width = l.Drive1.Width;
    setTwipsSize(l.Dir1.Height, whole(H / 3));

    l.File1.Left = l.Text2.Left;
    l.File1.Top = l.Dir1.Top;
    l.File1.Width = l.Dir1.Width;
    l.File1.Height = l.Dir1.Height;

    l.Text1.Left = 250;
    l.Text1.Top = l.Dir1.Top + l.Dir1.Height + 100;
    l.Text1.Width = l.File1.Width + l.Dir1.Width + 150;

    l.List1.Left = l.Text1.Left;
    l.List1.Top = l.Text1.Top + l.Text1.Height + 100;
    l.List1.Width = l.Text1.Width;
    l.List1.Height = l.Dir1.Height;

    l.Text3.Left = 250;
    l.Text3.Top = l.List1.Top + l.List1.Height + 100;
    l.Text3.Width = l.Text1.Width;

    l.Command1.Top = l.Text3.Top + l.Text3.Height + 100;
    l.Command2.Top = l.Command1.Top;
    l.Command3.Top = l.Command1.Top;
    l.Command4.Top = l.Command1.Top;
}

} // namespace packaging
