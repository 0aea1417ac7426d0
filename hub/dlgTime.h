#pragma once
// The time converter: a small window beside the main window that turns a time of day in
// seconds, as the game writes it, into hours and minutes.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class dlgTime : public QDialog {
    Q_OBJECT
public:
    // Shows the window without blocking, creating it on first use; a second call brings the
    // open window to the front with its texts as they are.
    static dlgTime* showDialog(QWidget* parent = nullptr);
    // The open window, or null when there is none.
    static dlgTime* existing();

    explicit dlgTime(QWidget* parent = nullptr);
    ~dlgTime() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr; // seconds
    QLineEdit* Text2 = nullptr; // hours and minutes
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public slots:
    void OKButton_Click();
    void CancelButton_Click();
    // Escape and the window's close box unload the window as "Exit" does.
    void reject() override;
};
