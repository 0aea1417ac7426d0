#pragma once
// The sample game with one of its folders kept on another disk and linked back, as people keep
// big games: a provider folder, a route's Scenery, the whole Assets folder. The other disk is the
// tree's "big" folder, or otherDisk when a test sets it (a folder on another file system);
// unplugging it leaves the link leading nowhere.
#include "platform/Paths.h"

#include "support/GameFixture.h"
#include "support/SampleGame.h"

#include <QDir>
#include <QFile>

class LinkedGameFixture : public SampleGameFixture {
protected:
    explicit LinkedGameFixture(SampleGameNeeds needs = {.serz = true, .tempFiles = true}) : SampleGameFixture(needs) {}

    QString game() const { return tree.gamePath(); }
    QString asset(const QString& below) const { return game() + QStringLiteral("\\Assets\\") + below; }

    // Where the game's folder rel ("/"-separated below the game folder) lies on the other disk.
    QString away(const QString& rel) const
    {
        return (otherDisk.isEmpty() ? tree.path(QStringLiteral("big")) : otherDisk) + QLatin1Char('/')
               + rel.section(QLatin1Char('/'), -1);
    }

    // Moves the game's folder rel to the other disk and links it back; false when that failed.
    bool moveOutAndLink(const QString& rel)
    {
        const QString inGame = tree.path(QStringLiteral("game/") + rel);
        QDir().mkpath(QFileInfo(away(rel)).path());
        platform::clearPathCache();
        return move(inGame, away(rel)) && QFile::link(away(rel), inGame);
    }
    bool moveBack(const QString& rel)
    {
        const QString inGame = tree.path(QStringLiteral("game/") + rel);
        platform::clearPathCache();
        return QFile::remove(inGame) && move(away(rel), inGame);
    }
    // The other disk unplugged (its folder moved where the link does not lead) and plugged in again.
    bool unplug(const QString& rel)
    {
        platform::clearPathCache();
        return QDir().rename(away(rel), away(rel) + QStringLiteral(".unplugged"));
    }
    bool plugIn(const QString& rel)
    {
        platform::clearPathCache();
        return QDir().rename(away(rel) + QStringLiteral(".unplugged"), away(rel));
    }

    QString otherDisk; // "" for the tree's "big" folder

private:
    // A rename, or between file systems a copy and a removal.
    static bool move(const QString& from, const QString& to)
    {
        if (QDir().rename(from, to))
            return true;
        return copyTree(from, to) && QDir(from).removeRecursively();
    }
};
