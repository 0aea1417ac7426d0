#pragma once
// The blueprint designer ("BluePrint Designer"): fills the blueprint template of the shared
// BlueprintMode with a name and one or two values and writes it into BlueprintFolder. It
// stays open for further blueprints. The window loads (Form_Load) when it is constructed.

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class frmBlue : public QWidget {
    Q_OBJECT
public:
    // Shows the designer without waiting; a designer that is still open is closed first, so
    // the new one shows the boxes of the mode now set.
    static frmBlue* showDesigner(QWidget* parent = nullptr);
    // The open designer, or null.
    static frmBlue* existing();

    explicit frmBlue(QWidget* parent = nullptr);
    ~frmBlue() override;

    QLabel* Label2 = nullptr; // the heading
    std::array<QLabel*, 5> Label1{};
    std::array<QLineEdit*, 5> Text1{};
    QPushButton* Command1 = nullptr; // "Make Blueprint"
    QPushButton* Command2 = nullptr; // "Exit"

    void Form_Load();
    void Command1_Click();
    void Command2_Click();
};
