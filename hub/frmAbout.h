#pragma once
// The about window: the program's title and description, its version, a picture and an
// "OK" button.

#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblTitle = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;

    // Hides the window and shows the main window (modeless).
    void cmdOK_Click();
};
