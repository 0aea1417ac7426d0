// "Conversions": textures to and from DDS files, their viewer and editor (the steps are
// hub/TextureCommands'), and the game's time values.

#include "hub/frmEditor.h"

#include "hub/TextPageWidget.h"
#include "hub/TextureCommands.h"
#include "hub/dlgTime.h"

#include <QLineEdit>

void frmEditor::mnuDDS_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ConvertTextureToDds(Text1->text(), RichTextBox1->text(), WorkName);
}

void frmEditor::mnuView_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ViewDdsFile(WorkName);
}

void frmEditor::mnuEditDDS_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::EditDdsFile(WorkName);
}

void frmEditor::mnuDDStoKrs_Click()
{
    if (isBusy())
        return;
    BusyScope busy(this);
    hub::ConvertDdsToTexture([this](const QString& xml) { RichTextBox1->loadText(xml); });
}

void frmEditor::mnuTime_Click()
{
    if (!isBusy())
        dlgTime::showDialog(this);
}
