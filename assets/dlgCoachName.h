#pragma once
// "Save Rolling-Stock Item": names the blueprint that "Remove Selected Child Entries" saves.
// Shown modally; it talks to its opener only through the shared NewItemName,
// NewInternalName and CoachNameCancelled. The close box and Escape are "Cancel".

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class dlgCoachName : public QDialog {
    Q_OBJECT
public:
    explicit dlgCoachName(QWidget* parent = nullptr);
    ~dlgCoachName() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr; // the file name without extension
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr; // the display name
    QGroupBox* Frame1 = nullptr;
    QList<QRadioButton*> Option1; // indexes 0 to 7
    QPushButton* OKButton = nullptr;
    QPushButton* Command1 = nullptr; // Cancel

    void Form_Load();
    void Option1_Click(int index);
    // Takes the boxes as typed, unless one is empty or blank or the file name cannot be a
    // file's name: then a message, and the dialog stays open.
    void OKButton_Click();
    void Command1_Click();
    void reject() override;

private:
    // The names as the dialog received them; every suffix is added to these.
    QString itemName_;
    QString internalName_;
};
