#pragma once
// "Select Twain Source": the scanning sources SANE lists, one to pick for the run.

#include "hub/Scanner.h"

#include <QDialog>

class QListWidget;
class QPushButton;

class dlgScanSource : public QDialog {
    Q_OBJECT
public:
    // Lists the sources with the current choice selected (the first when there is none).
    dlgScanSource(const QList<hub::ScanSource>& sources, const QString& current, QWidget* parent = nullptr);

    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    // The picked source's name; empty when the dialog was cancelled.
    QString chosenName() const { return chosen_; }

private:
    void OKButton_Click();

    QList<hub::ScanSource> sources_;
    QString chosen_;
};
