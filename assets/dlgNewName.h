#pragma once
// "Clone Object with this new name": names the copy of an asset. Shown modally once per row;
// it reads and writes only the shared NewFileName, NewItemName and NewFolderName. "Cancel",
// the close box and Escape empty NewFileName and NewItemName.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class dlgNewName : public QDialog {
    Q_OBJECT
public:
    // sourceFolder: the folder being copied, which the destination may not be or lie in.
    explicit dlgNewName(const QString& sourceFolder, QWidget* parent = nullptr);
    ~dlgNewName() override;

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr; // file name
    QLabel* Label2 = nullptr;
    QLineEdit* Text2 = nullptr; // internal name
    QLabel* Label3 = nullptr;
    QLineEdit* Text3 = nullptr; // folder
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void Form_Load();
    // Takes the boxes as typed, unless assets::newNameRefusal refuses them: then its message,
    // and the dialog stays open with the boxes as they are.
    void OKButton_Click();
    void CancelButton_Click();
    void reject() override;

private:
    QString sourceFolder_;
};
