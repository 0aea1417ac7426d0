#pragma once
// Opens a box through the program's own seam (not the scripted one) and looks at it while it
// waits for the user: inspect gets the modal box that show() opened, which is then dismissed.

#include "platform/QtUi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

template <class Box>
void withRealBox(const std::function<void(QtUi&)>& show, const std::function<void(Box*)>& inspect)
{
    QtUi real;
    Ui* scripted = setUi(&real);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = true;
        QCoreApplication::processEvents();
        inspect(box);
        box->reject();
    });
    show(real);
    setUi(scripted);
    EXPECT_TRUE(seen);
}
