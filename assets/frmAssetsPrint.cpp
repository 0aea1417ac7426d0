// Print List of the asset list window.

#include "assets/frmAssets.h"
#include "assets/fEZPrint.h"
#include "common/SharedState.h"

void frmAssets::Command2_Click()
{
    // The asset grid, previewed.
    shared().PrintSource = 5;
    shared().PrintOption = 1;
    // Not a child of this window: the preview stays while this window closes.
    fEZPrint::showWindow();
}
