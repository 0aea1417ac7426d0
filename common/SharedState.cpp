#include "common/SharedState.h"

#include "platform/Paths.h"

namespace {

// The game's drive is the program's current drive: a path typed from the root of a drive
// ("\name") lies on the drive that holds the game folder.
[[maybe_unused]] const bool currentDriveIsTheGames = [] {
    platform::setCurrentDriveFolder([] { return shared().GamePath; });
    return true;
}();

} // namespace

SharedState& shared()
{
    static SharedState state;
    return state;
}

void resetShared()
{
    shared() = SharedState{};
}
