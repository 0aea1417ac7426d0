#pragma once
// The attribute dialog of the tree page ("Add Attribute"): a name and a value for a new
// attribute of the current element. "OK" keeps the dialog open until the name is one the
// element can take; "Cancel" and the window's close box cancel.

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QPushButton;

class frmAddAttribute : public QDialog {
    Q_OBJECT
public:
    explicit frmAddAttribute(QWidget* parent = nullptr);

    // The names the element has already; a new attribute may not repeat one.
    void setExistingNames(const QStringList& names) { existing_ = names; }

    QLabel* lblName = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblValue = nullptr;
    QLineEdit* txtValue = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // True unless the dialog was left with an accepted name.
    bool Cancelled() const { return cancelled_; }

    void cmdOK_Click();
    void cmdCancel_Click();
    // Escape and the close box count as "Cancel".
    void reject() override;

private:
    QStringList existing_;
    bool cancelled_ = true;
};
