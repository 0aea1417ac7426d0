#pragma once
// The hub window's busy scope, shared by the window's source files.

#include "hub/frmEditor.h"

// Disables the window's commands while a command that processes window events runs, so
// that no second command starts in the middle of it.
class frmEditor::BusyScope {
public:
    explicit BusyScope(frmEditor* window) : w(window)
    {
        if (w->busy_++ == 0)
            w->setCommandsEnabled(false);
    }
    ~BusyScope()
    {
        if (--w->busy_ == 0)
            w->setCommandsEnabled(true);
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    frmEditor* w;
};
