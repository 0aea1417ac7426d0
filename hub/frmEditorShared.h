#pragma once
// What the hub window's handler files share.

#include "platform/Ui.h"

#include <QString>

namespace hub::editor {

inline FileDialogRequest dialogRequest(const QString& title, const QString& filter, const QString& initDir = QString())
{
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.filterIndex = 1;
    request.initDir = initDir;
    return request;
}

} // namespace hub::editor
