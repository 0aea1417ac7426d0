#pragma once
// The program's application object. An error that leaves a window's handler would end the
// program (Qt cannot carry it through its event loop): it is caught here instead, shown as a
// message with its number and description, and the program goes on. The handler that raised
// it has stopped at the error, so nothing after the failure was done. It also counts the
// deliveries under way, so that no window is deleted under a running handler
// (QtUiWindowLife.h).

#include <QApplication>

class QtUiApplication : public QApplication {
public:
    QtUiApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The message shown for an error that reached the event loop.
    static QString unexpectedErrorText(int number, const QString& description);
};
