#pragma once
// "Tail Light Templates Available": the tail-lamp template for the lit copies of "Add
// tail-lights". Shown modally; the opener fills List1 and Label1 and reads the answer from the
// shared LampDialogChoice. The close box and Escape are "Cancel".

#include <QDialog>
#include <QList>

class QLabel;
class QListWidget;
class QPushButton;

// The frame both lamp-template dialogs share: Label1 for the blueprint's display name, the
// prompt, List1 with the templates, the widgets a dialog adds below them, OK and Cancel.
struct LampDialogFrame {
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
};
LampDialogFrame buildLampDialogFrame(QDialog* dialog, const QString& objectName, const QString& title,
                                     const QString& prompt, const QList<QWidget*>& below = {});
// The selected entry's position + 1, 0 when nothing is selected.
int chosenLampRow(const QListWidget* list);

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
