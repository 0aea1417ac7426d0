#include "common/SharedState.h"

SharedState& shared()
{
    static SharedState state;
    return state;
}

void resetShared()
{
    shared() = SharedState{};
}
