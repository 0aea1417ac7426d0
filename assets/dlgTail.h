#pragma once
// "Tail Light Templates Available": the tail-lamp template for the lit copies of "Add
// tail-lights". Shown modally; the opener fills List1 and Label1 and reads the answer from the
// shared LampDialogChoice. The close box and Escape are "Cancel".

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class dlgTail : public QDialog {
    Q_OBJECT
public:
    explicit dlgTail(QWidget* parent = nullptr);
    ~dlgTail() override;

    QListWidget* List1 = nullptr; // the tail-lamp templates
    QLabel* Label1 = nullptr;     // the blueprint's display name
    QLabel* Label2 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The chosen template row (0 without a selection).
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override;
};
