#pragma once
// "Head Light Templates Available": the head-lamp template and the train type for the lit
// copies of "Add head-lights". Shown modally; the opener fills List1 and Label1 after loading
// it and reads the answers from the shared HeadTemplateChoice and LampDialogChoice. The close
// box and Escape are "Cancel".

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class dlgHead : public QDialog {
    Q_OBJECT
public:
    explicit dlgHead(QWidget* parent = nullptr);
    ~dlgHead() override;

    QListWidget* List1 = nullptr; // the head-lamp templates
    QListWidget* List2 = nullptr; // the train types
    QLabel* Label1 = nullptr;     // the blueprint's display name
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // Sets the shared train types and lamp slots and lists the train types.
    void Form_Load();
    // The chosen template row and train type (each 0 without a selection).
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override;
};
