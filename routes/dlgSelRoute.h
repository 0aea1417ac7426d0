#pragma once
// "Select Route": the shared route selection dialog. The opener fills List1, shows it modally
// and reads SelectedRouteIndex: the chosen line, or 9999 when cancelled, closed by its close
// box, or confirmed without a line.

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

class dlgSelRoute : public QDialog {
    Q_OBJECT
public:
    // Makes a new dialog with these lines (unsorted), sets SelectedRouteIndex to 9999, shows it
    // modally and returns SelectedRouteIndex.
    static int choose(const QStringList& names, QWidget* parent = nullptr);

    explicit dlgSelRoute(QWidget* parent = nullptr);

    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;     // "OK"
    QPushButton* CancelButton = nullptr; // "Cancel"

    void OKButton_Click();
    void CancelButton_Click();
};
